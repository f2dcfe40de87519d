#pragma once
// Shared by the fuzz harnesses: a failed property stops the run with a
// message, so libFuzzer records the input as a crash.

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include <unistd.h>

#define FUZZ_CHECK(Condition, ...)                                                                 \
    do {                                                                                           \
        if (!(Condition)) {                                                                        \
            std::fprintf(stderr, "FUZZ_CHECK failed at %s:%d: %s\n", __FILE__, __LINE__,           \
                         #Condition);                                                              \
            std::fprintf(stderr, __VA_ARGS__);                                                     \
            std::fprintf(stderr, "\n");                                                            \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace fuzz {

// A folder of this process for scratch files, under $HYD_FUZZ_SCRATCH when
// set (fuzz/run.sh sets it and removes it afterwards), else in memory when
// /dev/shm is there, so the harnesses that write files stay fast.
inline const std::string& ScratchDir()
{
    // Never destroyed: the exit handler below still needs it.
    static const std::string& Dir = *new std::string([] {
        const char* Given = std::getenv("HYD_FUZZ_SCRATCH");
        std::string Base = Given && *Given                 ? Given
                           : access("/dev/shm", W_OK) == 0 ? "/dev/shm"
                                                           : "/tmp";
        std::string Path = Base + "/hyd-fuzz-" + std::to_string(getpid());
        std::filesystem::create_directories(Path);
        std::atexit([] {
            std::error_code Ec;
            std::filesystem::remove_all(ScratchDir(), Ec);
        });
        return Path;
    }());
    return Dir;
}

// Well-formed UTF-8 (no overlong forms, surrogates or values above U+10FFFF).
inline bool ValidUtf8(const std::string& S)
{
    const auto* P = reinterpret_cast<const unsigned char*>(S.data());
    const std::size_t N = S.size();
    for (std::size_t I = 0; I < N;) {
        const unsigned C = P[I];
        std::size_t Len = C < 0x80         ? 1
                          : (C >> 5) == 6  ? 2
                          : (C >> 4) == 14 ? 3
                          : (C >> 3) == 30 ? 4
                                           : 0;
        if (Len == 0 || I + Len > N)
            return false;
        unsigned long V = Len == 1 ? C : C & (0x7f >> Len);
        for (std::size_t K = 1; K < Len; ++K) {
            if ((P[I + K] & 0xc0) != 0x80)
                return false;
            V = (V << 6) | (P[I + K] & 0x3f);
        }
        static const unsigned long Least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (V < Least[Len] || V > 0x10ffff || (V >= 0xd800 && V <= 0xdfff))
            return false;
        I += Len;
    }
    return true;
}

// Printable form of a byte string for failure messages.
inline std::string Show(const std::string& S)
{
    std::string Out = "\"";
    for (unsigned char C : S) {
        if (C >= 0x20 && C < 0x7f && C != '"' && C != '\\') {
            Out += static_cast<char>(C);
        } else {
            char Buf[8];
            std::snprintf(Buf, sizeof Buf, "\\x%02x", C);
            Out += Buf;
        }
    }
    return Out + "\"";
}

}  // namespace fuzz
