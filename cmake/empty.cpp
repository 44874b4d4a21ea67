// Keeps a library buildable while its folder is still empty.
