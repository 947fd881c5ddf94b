# Owned by the wallpaper module.
