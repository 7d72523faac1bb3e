#include "platform/termios_serial_device.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/base/steady_clock.h"
#include "core/radio/command_builders.h"
#include "core/radio/receiver_controller.h"
#include "core/radio/receiver_model.h"
#include "core/radio/receiver_supervisor.h"
#include "core/radio/serial_link.h"
#include "platform/termios_line_settings.h"
#include "support/pseudo_terminal.h"
#include "support/recorders.h"
#include "support/temp_dir.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using testing::PseudoTerminal;
using testing::RecordingWorld;
using testing::TempDir;

// Everything a command list puts on the line, in order.
std::string BytesOf(const CommandList& commands) {
  std::string bytes;
  for (const SerialCommand& command : commands) {
    if (command.kind == SerialCommand::Kind::kBytes || command.kind == SerialCommand::Kind::kText) {
      bytes += command.data;
    }
  }
  return bytes;
}

std::vector<std::string> Names(const std::vector<SerialPort>& ports) {
  std::vector<std::string> names;
  for (const SerialPort& port : ports) names.push_back(port.name);
  return names;
}

// Writes one byte, waiting while the driver has no room.
SerialWrite WriteSoon(SerialDevice& device, std::uint8_t byte) {
  for (int attempt = 0; attempt < 100000; ++attempt) {
    const SerialWrite result = device.WriteByte(byte);
    if (result != SerialWrite::kWouldBlock) return result;
    usleep(100);
  }
  return SerialWrite::kWouldBlock;
}

TEST(TermiosLineSettings, ParityAndCharacterSizeAreReplacedAndUnknownRatesRefused) {
  // A pseudo-terminal forces 8 bits without parity, so the line record is checked on its own.
  termios settings{};
  settings.c_cflag = CS7 | PARENB | PARODD | CMSPAR | CRTSCTS;
  settings.c_iflag = INPCK | ISTRIP | IXON | IXOFF;
  ASSERT_TRUE(ApplyLineSettings(settings, {57600, 1}));
  EXPECT_EQ(settings.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(settings.c_cflag & (PARENB | PARODD | CMSPAR | CRTSCTS | CSTOPB), 0u);
  EXPECT_EQ(settings.c_iflag & (INPCK | ISTRIP | IXON | IXOFF), 0u);
  EXPECT_EQ(cfgetospeed(&settings), static_cast<speed_t>(B57600));

  const termios before = settings;
  EXPECT_FALSE(ApplyLineSettings(settings, {12345, 1}));
  EXPECT_EQ(settings.c_cflag, before.c_cflag);
  EXPECT_EQ(cfgetospeed(&settings), static_cast<speed_t>(B57600));
}

// The driver starts with cooked, flow-controlled settings; each profile must leave a raw line.
TEST(TermiosSerialDevice, EachProfileReachesTheLineAndARateChangeKeepsTheRest) {
  struct Case {
    int profile;
    speed_t speed;
    bool twoStopBits;
  };
  const Case cases[] = {
      {0, B9600, true},
      {1, B9600, false},
      {2, B38400, false},
      {3, B57600, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.profile);
    PseudoTerminal pty;
    termios cooked = pty.Settings();
    cooked.c_cflag |= CRTSCTS;
    if (c.twoStopBits) {
      cooked.c_cflag &= ~static_cast<tcflag_t>(CSTOPB);
    } else {
      cooked.c_cflag |= CSTOPB;
    }
    cooked.c_iflag |= IXON | IXOFF | ICRNL;
    cooked.c_oflag |= OPOST | ONLCR;
    cooked.c_lflag |= ICANON | ECHO | ISIG;
    cooked.c_cc[VMIN] = 1;
    cooked.c_cc[VTIME] = 5;
    cfsetispeed(&cooked, B300);
    cfsetospeed(&cooked, B300);
    pty.SetSettings(cooked);

    TermiosSerialDevice device;
    ASSERT_EQ(device.Open(pty.SubordinatePath(), c.profile), SerialOpenStep::kDone);
    const termios line = pty.Settings();
    EXPECT_EQ(cfgetospeed(&line), c.speed);
    EXPECT_EQ(cfgetispeed(&line), c.speed);
    EXPECT_EQ((line.c_cflag & CSTOPB) != 0, c.twoStopBits);
    EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(line.c_cflag & (PARENB | CRTSCTS), 0u);
    EXPECT_EQ(line.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF | ICRNL), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(line.c_cc[VSTART], 0x11);
    EXPECT_EQ(line.c_cc[VSTOP], 0x13);
    EXPECT_EQ(line.c_cc[VMIN], 0);
    EXPECT_EQ(line.c_cc[VTIME], 0);

    ASSERT_TRUE(device.SetLineRate(38400));
    const termios switched = pty.Settings();
    EXPECT_EQ(cfgetospeed(&switched), static_cast<speed_t>(B38400));
    EXPECT_EQ(switched.c_cflag & ~CBAUD, line.c_cflag & ~CBAUD);
    EXPECT_EQ(switched.c_oflag, line.c_oflag);
    EXPECT_FALSE(device.SetLineRate(12345));
  }
}

TEST(TermiosSerialDevice, OpeningStopsAtTheFailedStepAndKeepsThePortFromThenOn) {
  TempDir dir;
  PseudoTerminal free;
  PseudoTerminal held;
  TermiosSerialDevice holder;
  ASSERT_EQ(holder.Open(held.SubordinatePath(), 0), SerialOpenStep::kDone);
  const std::string plainFile = (dir.path() / "ttyUSB0").string();
  std::ofstream(plainFile) << "not a terminal";

  struct Case {
    const char* what;
    std::string path;
    int profile;
    SerialOpenStep failed;
  };
  const Case cases[] = {
      {"no path", "", 0, SerialOpenStep::kOpen},
      {"absent node", (dir.path() / "ttyUSB9").string(), 0, SerialOpenStep::kOpen},
      {"held by another device", held.SubordinatePath(), 0, SerialOpenStep::kOpen},
      {"not a terminal", plainFile, 0, SerialOpenStep::kReadSettings},
      {"profile 4", free.SubordinatePath(), 4, SerialOpenStep::kBadProfile},
      {"profile -1", free.SubordinatePath(), -1, SerialOpenStep::kBadProfile},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TermiosSerialDevice device;
    EXPECT_EQ(device.Open(c.path, c.profile), c.failed);
    if (c.failed == SerialOpenStep::kOpen) {
      EXPECT_EQ(device.OutputQueueCount(), -1);
      EXPECT_EQ(device.WriteByte('x'), SerialWrite::kFailed);
    } else {
      // Still this device's: nobody else gets the port until it is closed.
      TermiosSerialDevice other;
      EXPECT_EQ(other.Open(c.path, 0), SerialOpenStep::kOpen);
      device.Close();
      EXPECT_NE(other.Open(c.path, 0), SerialOpenStep::kOpen);
    }
  }
}

TEST(TermiosSerialDevice, ListsThePortsThatOpenInFamilyAndNumberOrder) {
  TempDir dir;
  PseudoTerminal ptys[4];
  const auto link = [&](const char* name, const std::string& target) {
    fs::create_symlink(target, dir.path() / name);
  };
  link("ttyUSB10", ptys[0].SubordinatePath());
  link("ttyUSB2", ptys[1].SubordinatePath());
  link("ttyUSB0", ptys[2].SubordinatePath());
  link("ttyACM1", ptys[3].SubordinatePath());
  link("ttyUSB3", (dir.path() / "gone").string());
  std::ofstream(dir.path() / "ttyS1") << "a plain file";
  link("ttyUSB256", ptys[0].SubordinatePath());  // past the last number probed

  TermiosSerialDevice lister(dir.path(), {"ttyS", "ttyUSB", "ttyACM"});
  const std::vector<SerialPort> ports = lister.ListPorts();
  EXPECT_EQ(Names(ports), (std::vector<std::string>{"ttyUSB0", "ttyUSB2", "ttyUSB10", "ttyACM1"}));
  ASSERT_FALSE(ports.empty());
  EXPECT_EQ(ports[0].path, (dir.path() / "ttyUSB0").string());

  // Ports another Tarvo or another locking program holds are left out, and come back when freed.
  TermiosSerialDevice other;
  ASSERT_EQ(other.Open((dir.path() / "ttyUSB2").string(), 0), SerialOpenStep::kDone);
  EXPECT_EQ(Names(lister.ListPorts()),
            (std::vector<std::string>{"ttyUSB0", "ttyUSB10", "ttyACM1"}));
  // Opening another port lets go of the first.
  ASSERT_EQ(other.Open((dir.path() / "ttyACM1").string(), 0), SerialOpenStep::kDone);
  const int locked = open((dir.path() / "ttyUSB0").c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(locked, 0);
  ASSERT_EQ(flock(locked, LOCK_EX | LOCK_NB), 0);
  EXPECT_EQ(Names(lister.ListPorts()), (std::vector<std::string>{"ttyUSB2", "ttyUSB10"}));
  close(locked);
  other.Close();
  EXPECT_EQ(lister.ListPorts().size(), 4u);
}

TEST(TermiosSerialDevice, EveryByteValueArrivesInOrderUntranslated) {
  PseudoTerminal pty;
  TermiosSerialDevice device;
  ASSERT_EQ(device.Open(pty.SubordinatePath(), 2), SerialOpenStep::kDone);
  std::string sent;
  for (int value = 0; value < 256; ++value) sent += static_cast<char>(value);
  sent += "\r\n\n\x11\x13";
  for (const char c : sent) {
    ASSERT_EQ(WriteSoon(device, static_cast<std::uint8_t>(c)), SerialWrite::kWritten);
  }
  EXPECT_GE(device.OutputQueueCount(), 0);
  device.Close();
  EXPECT_EQ(pty.Read(), sent);
}

TEST(TermiosSerialDevice, AClosedOrHungUpPortRefusesEveryCallQuietly) {
  enum class Situation { kNeverOpened, kClosed, kFailedOpen, kHungUp };
  const Situation situations[] = {Situation::kNeverOpened, Situation::kClosed,
                                  Situation::kFailedOpen, Situation::kHungUp};
  for (const Situation situation : situations) {
    SCOPED_TRACE(static_cast<int>(situation));
    PseudoTerminal pty;
    TermiosSerialDevice device;
    switch (situation) {
      case Situation::kNeverOpened:
        break;
      case Situation::kClosed:
        ASSERT_EQ(device.Open(pty.SubordinatePath(), 1), SerialOpenStep::kDone);
        device.Close();
        break;
      case Situation::kFailedOpen:
        ASSERT_EQ(device.Open("", 1), SerialOpenStep::kOpen);
        break;
      case Situation::kHungUp:
        ASSERT_EQ(device.Open(pty.SubordinatePath(), 1), SerialOpenStep::kDone);
        pty.Hangup();
        break;
    }
    EXPECT_EQ(device.WriteByte('H'), SerialWrite::kFailed);
    EXPECT_LT(device.OutputQueueCount(), 0);
    EXPECT_FALSE(device.SetLineRate(38400));
    device.Close();
    device.Close();
  }
}

// The real port under the program's own link and controller.
struct RadioOnPseudoTerminal {
  RadioOnPseudoTerminal() {
    fs::create_symlink(pty.SubordinatePath(), dir.path() / "ttyUSB0");
    link.ListSerialPorts();
    state.ComPortIndex = 0;
    state.TrackBar2.position = 80;
  }

  PseudoTerminal pty;
  TempDir dir;
  RecordingWorld world;
  TermiosSerialDevice device{dir.path(), {"ttyUSB"}};
  MainState state;
  SerialLink link{device, state, world.services()};
  ReceiverController controller{state, link, world.services()};
};

TEST(RadioOnPseudoTerminal, AModelChangeReleasesTheOldModelThenReopensWithTheNewProfile) {
  RadioOnPseudoTerminal radio;
  radio.state.RadioModel = kModelIcomPcr;
  radio.controller.StartReceiver();
  const termios running = radio.pty.Settings();
  EXPECT_EQ(cfgetospeed(&running), static_cast<speed_t>(B38400));

  radio.controller.ComboBox1Change(kModelDjX2000);
  const std::string expected =
      BytesOf(BuildPrepare(radio.state, kModelIcomPcr)) + "H100\r\n" + "START\r\n";
  EXPECT_EQ(radio.pty.Read(expected.size()), expected);
  const termios reopened = radio.pty.Settings();
  EXPECT_EQ(cfgetospeed(&reopened), static_cast<speed_t>(B9600));
  EXPECT_NE(reopened.c_cflag & CSTOPB, 0u);
  EXPECT_TRUE(radio.world.notice.errors.empty());
}

TEST(RadioOnPseudoTerminal, ClosingTheWindowSendsOnlyTheVolumeAndReleaseBeforeThePortCloses) {
  struct Case {
    int model;
    const char* afterPreparation;
    const char* closing;
  };
  const Case cases[] = {
      {kModelIcomPcr, "", "H100\r\n"},
      {kModelIcPcr100, "J4050\r\n", "J4050\r\nH100\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model);
    RadioOnPseudoTerminal radio;
    radio.state.RadioModel = c.model;
    radio.controller.StartReceiver();
    radio.controller.ReleaseOnFormClose();
    radio.link.CloseSerialPort();
    // Read until the port is closed: nothing more may follow the release.
    EXPECT_EQ(radio.pty.Read(),
              BytesOf(BuildPrepare(radio.state, c.model)) + c.afterPreparation + c.closing);
  }
}

TEST(RadioOnPseudoTerminal, APortThatCannotBeOpenedIsReportedAndTheProgramGoesOn) {
  enum class Situation { kUnpluggedAfterListing, kTakenAfterListing, kNoPortAtAll };
  const Situation situations[] = {Situation::kUnpluggedAfterListing, Situation::kTakenAfterListing,
                                  Situation::kNoPortAtAll};
  for (const Situation situation : situations) {
    SCOPED_TRACE(static_cast<int>(situation));
    RadioOnPseudoTerminal radio;
    TermiosSerialDevice taker;
    switch (situation) {
      case Situation::kUnpluggedAfterListing:
        fs::remove(radio.dir.path() / "ttyUSB0");
        break;
      case Situation::kTakenAfterListing:
        ASSERT_EQ(taker.Open(radio.pty.SubordinatePath(), 1), SerialOpenStep::kDone);
        break;
      case Situation::kNoPortAtAll:
        fs::remove(radio.dir.path() / "ttyUSB0");
        radio.link.ListSerialPorts();
        break;
    }
    radio.state.RadioModel = kModelIcPcr100;
    radio.controller.StartReceiver();
    radio.controller.TuneReceiver("851.01250", kModelIcPcr100);
    radio.controller.ReleaseOnFormClose();
    radio.link.CloseSerialPort();
    EXPECT_EQ(radio.world.notice.errors, (std::vector<std::string>{" 通信ポート接続失敗"}));
    EXPECT_EQ(radio.world.notice.beeps, 1);
    taker.Close();
    EXPECT_EQ(radio.pty.Read(), "");
  }
}

TEST(RadioOnPseudoTerminal, AFullQueueKeepsTheWindowRunningAndTheCommandEndsWithinTheBound) {
  struct Trace : SerialTrace {
    void CommandWritten(std::string_view, std::size_t bytesWritten) override {
      written.push_back(bytesWritten);
    }
    void LineRateSet(int) override {}
    std::vector<std::size_t> written;
  };
  RadioOnPseudoTerminal radio;
  SteadyClock clock;
  Services services = radio.world.services();
  services.clock = &clock;
  SerialLink link{radio.device, radio.state, services, 200};
  Trace trace;
  link.SetTrace(&trace);
  link.ListSerialPorts();
  ASSERT_TRUE(link.OpenSerialPort(kProfilePcrRun));

  // Nobody reads the other side: the pseudo-terminal's buffer fills and stays full.
  const std::string flood(256 * 1024, 'x');
  link.WriteSerialBytes(flood);
  ASSERT_EQ(trace.written.size(), 1u);
  EXPECT_GT(trace.written[0], 0u);
  EXPECT_LT(trace.written[0], flood.size());
  EXPECT_GT(radio.world.pump.count, static_cast<int>(trace.written[0]));
}

}  // namespace
}  // namespace tarvo

namespace tarvo {
namespace {

// The adapter is pulled out while the tracker follows a call and comes back as another node
// under the same stable name: it is opened again on the next try and tuned to the line.
TEST(RadioOnPseudoTerminal, AnUnpluggedAdapterComesBackUnderItsStableNameAndIsTunedAgain) {
  TempDir dir;
  const fs::path byId = dir.path() / "by-id";
  fs::create_directories(byId);
  const fs::path stable = byId / "usb-FTDI_FT232R_A1B2C3-if00-port0";
  auto first = std::make_unique<PseudoTerminal>();
  fs::create_symlink(first->SubordinatePath(), stable);
  fs::create_symlink(first->SubordinatePath(), dir.path() / "ttyUSB0");

  RecordingWorld world;
  TermiosSerialDevice device{dir.path(), {"ttyUSB"}};
  device.SetStableNameFolder(byId);
  MainState state;
  state.RadioModel = 2;  // AR-5000
  state.ControlFrequencyText = "850.00000";
  SerialLink link{device, state, world.services()};
  ReceiverController controller{state, link, world.services()};
  ReceiverSupervisor supervisor{state, link, controller, world.services()};
  link.ListSerialPorts();
  controller.StartReceiver();
  supervisor.Watch();
  const std::string start = BytesOf(BuildPrepare(state, 2));
  EXPECT_EQ(first->Read(start.size()), start);

  // Following a call when the adapter goes.
  TrackingEvent call;
  call.event = "call";
  call.line = "851.01250";
  world.events.Followed(call, state.Decoder);
  state.OnControlChannel = false;
  first->Hangup();
  supervisor.Tick();
  EXPECT_TRUE(supervisor.Lost());
  EXPECT_TRUE(state.ReceiverLost);
  controller.TuneReceiver("851.02500", 2);  // dropped: nothing is sent to a lost port

  // Back as another node; the old one is gone.
  first.reset();
  PseudoTerminal second;
  fs::remove(stable);
  fs::create_symlink(second.SubordinatePath(), stable);
  world.clock.now += ReceiverSupervisor::kRetryMs - 1;
  supervisor.Tick();
  EXPECT_TRUE(supervisor.Lost());  // not yet due
  world.clock.now += 1;
  supervisor.Tick();
  EXPECT_FALSE(supervisor.Lost());
  EXPECT_FALSE(state.ReceiverLost);
  const std::string again = start + BytesOf(BuildTune(state, 2, "851.01250"));
  EXPECT_EQ(second.Read(again.size()), again);

  const auto reports = world.eventLog.Of("receiver");
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].state, "lost");
  EXPECT_EQ(reports[1].state, "back");
  EXPECT_EQ(reports[1].device, stable.string());
  EXPECT_TRUE(world.notice.errors.empty());  // no box per attempt
}

}  // namespace
}  // namespace tarvo
