// SPDX-License-Identifier: GPL-3.0-or-later
// Piece sizes with and without units, at the limits of 64 bits; the integer forms kept.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "files/Tamanos.h"

using quimbel::LeerTamano;

TEST(LeerTamano, CadaUnidadEnAmbasFormas) {
    const std::pair<const char*, int64_t> casos[] = {
        {"4900000", 4900000},
        {"0", 0},
        {"007", 7},
        {"4294967295", 4294967295LL},
        {"1k", 1024},
        {"1K", 1024},
        {"3M", 3LL << 20},
        {"4g", 4LL << 30},
        {"2T", 2LL << 40},
        {"1kB", 1000},
        {"1Kb", 1000},
        {"700MB", 700000000},
        {"5gb", 5000000000LL},
        {"2TB", 2000000000000LL},
        {"9223372036854775807", INT64_MAX},
        {"8388607T", 8388607LL << 40},        // the largest count of T
        {"9223372TB", 9223372000000000000LL}, // and of TB
        {"  2G", 2LL << 30},
        // The program's integer forms, as before units.
        {"+5", 5},
        {"-5", -5},
        {"$10", 16},
        {"0x10", 16},
        {"-2147483648", INT32_MIN},
    };
    for (const auto& [texto, valor] : casos)
        EXPECT_EQ(LeerTamano(texto), std::optional<int64_t>(valor)) << texto;
}

TEST(LeerTamano, RechazaLoQueNoEsUnTamano) {
    for (const char* texto : {"",
                              " ",
                              "K",
                              "KB",
                              "5 ",
                              "4.7G",
                              "4,7G",
                              "5KK",
                              "5KiB",
                              "5BK",
                              "5B",
                              "0b",
                              "5P",
                              "5 K",
                              "5k ",
                              "+5K",
                              "-1K",
                              "$1K",
                              "0x",
                              "-2147483649",
                              "9223372036854775808",
                              "99999999999999999999",
                              "8388608T",
                              "9223373TB",
                              "9007199254740992K"}) {
        EXPECT_FALSE(LeerTamano(texto).has_value()) << texto;
    }
}
