// The iconv calls the host's text conversions make, served on Windows by the
// system's code page functions (host/windows/Iconv.cpp): UTF-8, UTF-16 and
// UTF-32 by their definitions, any other encoding through the Windows code
// page of that name (CP932 and Shift_JIS are code page 932).
#pragma once

#include <cstddef>

typedef struct orbalis_iconv* iconv_t;

iconv_t iconv_open(const char* to, const char* from);
size_t iconv(iconv_t converter, char** in, size_t* inLeft, char** out, size_t* outLeft);
int iconv_close(iconv_t converter);
