// The image resources are compiled by rcc in an object library of their own (see CMakeLists.txt);
// a static library still needs a source.
