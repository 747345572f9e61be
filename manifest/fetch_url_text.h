#pragma once

#include <string>

// Downloads `url` with one HTTP GET and returns the body as UTF-16 text,
// taken in the ANSI code page. The status code is not looked at: an error
// page is returned like any other body. Gives the empty text when no
// connection could be made and the text read so far when the transfer breaks.
std::u16string FetchUrlText(const std::u16string& url);
