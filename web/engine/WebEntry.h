#pragma once

// The engine's entry for the web page (sumlark.mjs is its caller in a
// browser; the speed benchmark calls it natively). The request holds texts,
// each a 4-byte little-endian length and then its UTF-8 bytes: an option's
// name without "--", its value (empty for a switch), the next name, and so
// on. The reply is JSON (WebModel.h); the sheets it made stay until the next
// make, for their texts and problems to be read one sheet (1-based) at a
// time. What a call returns is valid until the next call.

#include <cstddef>

extern "C" {
const char* sumlark_choices();
const char* sumlark_make(const unsigned char* request, std::size_t size);
// The question (answer 0) or answer sheet's text, UTF-8 as written.
const char* sumlark_text(int number, int answer);
// The bytes of the last text or JSON returned, without its closing zero.
std::size_t sumlark_size();
// Its problems, kProblemNumbers numbers each (WebModel.h).
const double* sumlark_problems(int number);
}
