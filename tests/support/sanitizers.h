#pragma once

// Whether this build runs under AddressSanitizer (GCC and clang say so differently). Its shadow
// memory needs terabytes of address space and its checks slow every allocation, so bounds on the
// address space, the resident memory or the time of a run do not hold there.
#if defined(__SANITIZE_ADDRESS__)
#define QUAYROW_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUAYROW_ADDRESS_SANITIZER 1
#endif
#endif

#if defined(QUAYROW_ADDRESS_SANITIZER)
inline constexpr bool underAddressSanitizer = true;
#else
inline constexpr bool underAddressSanitizer = false;
#endif
