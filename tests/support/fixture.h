#pragma once

#include <QTest>

// A program or server a test cannot run without. Under CI its absence fails the test, since a green run
// would otherwise hide behaviour that was never checked; elsewhere the test is skipped and says why.
#define ORVANE_REQUIRE_FIXTURE(present, what)                                                                          \
    do {                                                                                                               \
        if (!(present)) {                                                                                              \
            if (qEnvironmentVariable("CI") == QLatin1String("true"))                                                   \
                QFAIL(what " is missing, and CI must not skip the checks that need it");                               \
            QSKIP(what " is missing: skipped");                                                                        \
        }                                                                                                              \
    } while (false)
