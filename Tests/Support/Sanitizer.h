// Whether this test program was built with AddressSanitizer: runs too long for it are left to the
// release build.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#define QUORVEL_UNDER_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUORVEL_UNDER_SANITIZER 1
#endif
#endif
