# Owned by one module; see the CMakeLists.txt beside it.
