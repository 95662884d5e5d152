#include <cerrno>

#include <QStringList>

#include <gtest/gtest.h>

#include "core/transport/OpenFailure.h"

namespace {

struct Case {
    int errorNumber;
    QString group;
    QStringList says; // every one of these must be in the text
};

TEST(OpenFailureTest, EachReasonSaysWhatToDo)
{
    const QString ini = QStringLiteral("/home/op/.config/tool.ini");
    const Case cases[] = {
        {EACCES, QStringLiteral("uucp"), {"Device: /dev/ttyUSB0", "group \"uucp\"", "usermod -aG uucp"}},
        {EACCES, QString(), {"group \"dialout\"", "usermod -aG dialout"}},
        {ENOENT, QString(), {"not there", "plugged in", "[Ports]", ini}},
        {ENXIO, QString(), {"not there"}},
        {EBUSY, QString(), {"Another program holds the device"}},
        {EWOULDBLOCK, QString(), {"Another program holds the device"}},
        {ENOTTY, QString(), {"not a serial device", ini}},
        {EIO, QString(), {"Device: /dev/ttyUSB0", "Reason: "}},
    };
    for (const Case &c : cases) {
        const QString text = DescribeOpenFailure({true, QStringLiteral("/dev/ttyUSB0"), c.errorNumber, c.group, QString(), false}, ini);
        for (const QString &part : c.says)
            EXPECT_TRUE(text.contains(part)) << c.errorNumber << ": " << text.toStdString();
    }
}

TEST(OpenFailureTest, APortNameWithoutDevicePointsAtTheSettingsFile)
{
    const QString text = DescribeOpenFailure({true, QString(), 0, QString(), QString(), false}, QStringLiteral("/x/tool.ini"));
    EXPECT_TRUE(text.contains("/x/tool.ini"));
    EXPECT_FALSE(text.contains("Device:"));
}

TEST(OpenFailureTest, OwnerGroupComesFromTheFile)
{
    EXPECT_EQ(OwnerGroupOf(QStringLiteral("/nonexistent/file")), QString());
    EXPECT_FALSE(OwnerGroupOf(QStringLiteral("/")).isEmpty());
}

} // namespace
