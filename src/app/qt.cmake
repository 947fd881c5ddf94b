# Owned by the Qt front-end.
