#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "io/float_text.h"

namespace {

std::string g6(float value) {
    char buffer[orva::io::kFloatG6MaxChars];
    return std::string(buffer, orva::io::formatG6(buffer, value));
}

std::string printfG6(float value) {
    char buffer[64];
    std::snprintf(buffer, sizeof(buffer), "%.6g", double(value));
    return buffer;
}

float fromBits(uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof(f));
    return f;
}

} // namespace

// The fast path must agree with printf everywhere; these are the places where it could go wrong:
// the switch between fixed and exponent form, rounding that carries into a new digit, exact ties
// (printf rounds half to even on the exact binary value), and the ends of the float range.
TEST(FloatText, MatchesPrintfOnTrickyValues) {
    const float values[] = {0.0f,
                            -0.0f,
                            1.0f,
                            -1.0f,
                            0.5f,
                            -2.25f,
                            0.1f,
                            1e-7f,
                            123456789.0f,
                            0.0001f,
                            0.00009999999f,
                            0.00001f,
                            999999.0f,
                            999999.5f,
                            999999.4f,
                            9999995.0f,
                            99999.95f,
                            1000000.0f,
                            100000.0f,
                            1234565.0f,
                            1234575.0f,
                            0.125f,
                            2.5e-5f,
                            1.0f / 3.0f,
                            2.0f / 3.0f,
                            3.4028235e38f,
                            1.17549435e-38f,
                            1.4e-45f,
                            1e-17f,
                            1e27f,
                            1e28f,
                            -5e-18f,
                            std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::quiet_NaN()};
    for (float v : values)
        EXPECT_EQ(g6(v), printfG6(v));
}

TEST(FloatText, MatchesPrintfOnIntegersAndRandomFloats) {
    int mismatches = 0;
    auto check = [&](float v) {
        const std::string fast = g6(v), reference = printfG6(v);
        if (fast != reference && ++mismatches <= 10)
            ADD_FAILURE() << "value " << reference << " written as " << fast;
    };
    for (int i = -100000; i <= 1100000; ++i)
        check(float(i));
    for (int i = 1; i <= 100000; ++i) {
        check(float(i) / 1000.0f); // typical coordinates with few decimals
        check(float(i) * 1e-6f);
    }
    std::mt19937 random(12345);
    for (int i = 0; i < 1000000; ++i)
        check(fromBits(random())); // any bit pattern: every exponent, NaNs and infinities included
    std::uniform_real_distribution<float> coordinates(-1000.0f, 1000.0f);
    for (int i = 0; i < 300000; ++i)
        check(coordinates(random));
    EXPECT_EQ(mismatches, 0);
}
