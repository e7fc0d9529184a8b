#include "platform/SerialDevice.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using keytoner::serialDeviceName;

TEST(SerialDeviceTest, StandardPortsWithoutALink)
{
    QTemporaryDir folder;
    EXPECT_EQ(serialDeviceName(1, folder.path()), "/dev/ttyS0");
    EXPECT_EQ(serialDeviceName(16, folder.path()), "/dev/ttyS15");
    EXPECT_EQ(serialDeviceName(3, QString()), "/dev/ttyS2");
}

TEST(SerialDeviceTest, ComLinkInTheProgramFolderWins)
{
    QTemporaryDir folder;
    const QString link = QDir(folder.path()).filePath("com3");
    ASSERT_TRUE(QFile::link("/dev/null", link));
    EXPECT_EQ(serialDeviceName(3, folder.path()), link);
    // Only its own number: port 13 is not com3 and com1 is not com13.
    EXPECT_EQ(serialDeviceName(13, folder.path()), "/dev/ttyS12");
    EXPECT_EQ(serialDeviceName(1, folder.path()), "/dev/ttyS0");
}

TEST(SerialDeviceTest, DanglingLinkStillNamesTheUsersChoice)
{
    QTemporaryDir folder;
    const QString link = QDir(folder.path()).filePath("com4");
    ASSERT_TRUE(QFile::link("/dev/ttyUSB-that-is-unplugged", link));
    EXPECT_EQ(serialDeviceName(4, folder.path()), link);
}

TEST(SerialDeviceTest, PlainFileCountsAsWell)
{
    QTemporaryDir folder;
    QFile file(QDir(folder.path()).filePath("com16"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(serialDeviceName(16, folder.path()), file.fileName());
}
