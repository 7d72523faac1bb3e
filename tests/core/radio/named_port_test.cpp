// A port given by its path still tells the supervisor when it hangs up and what its stable name
// is: without that, an adapter pulled out under tarvo-track --port was never noticed.
#include "core/radio/named_port.h"

#include <gtest/gtest.h>

#include "support/fake_serial_device.h"

namespace tarvo {
namespace {

class HungUpDevice : public testing::FakeSerialDevice {
 public:
  bool LineLost() override { return true; }
  std::string StableName(const std::string&) override { return "/dev/serial/by-id/usb-X"; }
};

TEST(NamedPortTest, PassesTheLineStateAndStableNameThrough) {
  HungUpDevice device;
  NamedPort port(device, "/dev/ttyUSB0");
  EXPECT_TRUE(port.LineLost());
  EXPECT_EQ(port.StableName("/dev/ttyUSB0"), "/dev/serial/by-id/usb-X");
  ASSERT_EQ(port.ListPorts().size(), 1u);
  EXPECT_EQ(port.ListPorts()[0].path, "/dev/ttyUSB0");
}

}  // namespace
}  // namespace tarvo
