# Owned by the window module.
