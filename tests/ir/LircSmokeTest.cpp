#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include "FuseLircDevice.h"
TEST(Smoke, Mount) {
    ScaledLircClock clock(10);
    FuseLircDevice dev(clock);
    ASSERT_TRUE(dev.Mounted()) << dev.Error();
    int fd = open(dev.Path().c_str(), O_RDWR);
    ASSERT_GE(fd, 0) << strerror(errno);
    uint32_t f = 0;
    ASSERT_EQ(ioctl(fd, LIRC_GET_FEATURES, &f), 0) << strerror(errno);
    EXPECT_EQ(f, FuseLircConfig{}.features);
    uint32_t c = 40000;
    ASSERT_EQ(ioctl(fd, LIRC_SET_SEND_CARRIER, &c), 0) << strerror(errno);
    EXPECT_EQ(dev.Settings().carrierHz, 40000u);
    uint32_t v[3] = {500, 500, 500};
    EXPECT_EQ(write(fd, v, 12), 12);
    EXPECT_EQ(write(fd, v, 8), -1);
    EXPECT_EQ(errno, EINVAL);
    close(fd);
}
