#include "headless.h"

#include <QByteArray>
#include <QtGlobal>

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <ostream>
#include <string>

namespace {

constexpr std::array<const char*, 3> kVariables{"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"};

// Sets the environment for one case and puts the previous one back afterwards.
class CEnvironmentGuard {
public:
    CEnvironmentGuard() {
        for (std::size_t i = 0; i < kVariables.size(); ++i)
            if (qEnvironmentVariableIsSet(kVariables[i]))
                saved_[i] = qgetenv(kVariables[i]);
    }
    ~CEnvironmentGuard() {
        for (std::size_t i = 0; i < kVariables.size(); ++i) {
            if (saved_[i])
                qputenv(kVariables[i], *saved_[i]);
            else
                qunsetenv(kVariables[i]);
        }
    }
    CEnvironmentGuard(const CEnvironmentGuard&) = delete;
    CEnvironmentGuard& operator=(const CEnvironmentGuard&) = delete;

private:
    std::array<std::optional<QByteArray>, 3> saved_;
};

struct HeadlessCase {
    const char* name;
    const char* platform; // nullptr: unset
    const char* display;
    const char* wayland;
    bool chosen;
    const char* platformAfter;
};

void PrintTo(const HeadlessCase& c, std::ostream* os) {
    *os << c.name;
}

class Headless : public ::testing::TestWithParam<HeadlessCase> {};

TEST_P(Headless, OffscreenOnlyWithoutDisplayOrChoice) {
    const HeadlessCase& c = GetParam();
    CEnvironmentGuard guard;
    const std::array<const char*, 3> values{c.platform, c.display, c.wayland};
    for (std::size_t i = 0; i < kVariables.size(); ++i) {
        if (values[i])
            qputenv(kVariables[i], QByteArray(values[i]));
        else
            qunsetenv(kVariables[i]);
    }
    EXPECT_EQ(EnsureHeadlessPlatform(), c.chosen);
    EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), QByteArray(c.platformAfter));
}

INSTANTIATE_TEST_SUITE_P(
    Environments, Headless,
    ::testing::Values(HeadlessCase{"NothingSet", nullptr, nullptr, nullptr, true, "offscreen"},
                      HeadlessCase{"EmptyDisplays", nullptr, "", "", true, "offscreen"},
                      HeadlessCase{"X11Display", nullptr, ":0", nullptr, false, ""},
                      HeadlessCase{"WaylandDisplay", nullptr, nullptr, "wayland-0", false, ""},
                      HeadlessCase{"PlatformChosen", "xcb", nullptr, nullptr, false, "xcb"},
                      HeadlessCase{"PlatformAndDisplay", "minimal", ":0", nullptr, false,
                                   "minimal"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
