// The slow twin's accessor, ZelPlainComFuncDbase (library zel_plain): the
// library's class under another name, with the same members and answers,
// read field by field. Declared from the library's own header, beside the
// library's class.
#ifndef ZEL_TESTS_PLAIN_PLAIN_ACCESSOR_H
#define ZEL_TESTS_PLAIN_PLAIN_ACCESSOR_H

#include <ZelComFuncDbase.h>

#pragma push_macro("ZELCOMFUNCDBASE_API")
#undef ZELCOMFUNCDBASE_API
#define ZELCOMFUNCDBASE_API
#undef ZELCOMFUNCDBASE_H
#define CZelComFuncDbase ZelPlainComFuncDbase
#define ZelAccessorInternals ZelPlainAccessorInternals
#include <ZelComFuncDbase.h>
#undef ZelAccessorInternals
#undef CZelComFuncDbase
#pragma pop_macro("ZELCOMFUNCDBASE_API")

#endif
