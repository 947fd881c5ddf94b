# Owned by the Win32 front-end.
