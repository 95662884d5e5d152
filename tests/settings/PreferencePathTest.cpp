#include <gtest/gtest.h>

#include "core/settings/PreferenceFile.h"

namespace {

struct ShownPathCase {
    const char *path;
    const char *home;
    const char *shown;
};

} // namespace

TEST(PreferencePath, HomeIsShownAsTilde)
{
    const ShownPathCase cases[] = {
        {"/home/ann/.config/Korvel/QN-5200R-RL Control Tool.ini", "/home/ann",
         "~/.config/Korvel/QN-5200R-RL Control Tool.ini"},
        {"/home/ann/.config/x.ini", "/home/ann/", "~/.config/x.ini"},
        {"/home/ann", "/home/ann", "~"},
        // A longer name that only begins like the home folder is another folder.
        {"/home/anna/.config/x.ini", "/home/ann", "/home/anna/.config/x.ini"},
        {"/srv/config/x.ini", "/home/ann", "/srv/config/x.ini"},
        // XDG_CONFIG_HOME outside the home folder, and homes that cannot be abbreviated.
        {"/etc/xdg/x.ini", "/", "/etc/xdg/x.ini"},
        {"/root/.config/x.ini", "", "/root/.config/x.ini"},
    };
    for (const ShownPathCase &c : cases) {
        EXPECT_EQ(PreferenceFile::ShownPath(QString::fromUtf8(c.path), QString::fromUtf8(c.home)),
                  QString::fromUtf8(c.shown))
            << c.path << " under " << c.home;
    }
}
