#pragma once

#include <QTest>

// A test that needs a tool CI installs skips where the tool is missing, but not under CI
// (CI=true): there the skip would count as a pass, so it fails.
#define FOLIMAR_SKIP_OUTSIDE_CI(reason)                                                            \
    do {                                                                                           \
        if (qEnvironmentVariable("CI") == QLatin1String("true"))                                   \
            QFAIL(reason);                                                                         \
        QSKIP(reason);                                                                             \
    } while (false)
