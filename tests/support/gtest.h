// GoogleTest for Winelib tests: the compiler defines _WIN32, which would make
// GoogleTest pick MSVC-only paths, so hide it around the include.
#pragma once
#pragma push_macro("_WIN32")
#pragma push_macro("_WIN64")
#pragma push_macro("WIN32")
#pragma push_macro("__WIN32__")
#undef _WIN32
#undef _WIN64
#undef WIN32
#undef __WIN32__
#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>
#pragma pop_macro("__WIN32__")
#pragma pop_macro("WIN32")
#pragma pop_macro("_WIN64")
#pragma pop_macro("_WIN32")
