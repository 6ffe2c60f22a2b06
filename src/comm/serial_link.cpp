// The serial link on QSerialPort, used without an event loop: every wait is an explicit,
// bounded wait on the port.
#include "comm/serial_link.h"

#ifndef _WIN32
#include <grp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#endif

#include <QSerialPort>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

#include "core/app_state.h"
#include "core/key_store.h"
#include "core/text.h"

namespace korv {

namespace {

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// Why `device` refused to open with a permission error: this user may not use it (then the
// group that owns it is named, since joining that group is the cure), or another program
// holds it.
std::string PermissionFault(const std::string& device, const std::string& detail) {
#ifndef _WIN32
  if (::access(device.c_str(), R_OK | W_OK) != 0 && errno == EACCES) {
    std::string owner;
    struct stat info {};
    if (::stat(device.c_str(), &info) == 0) {
      if (const ::group* g = ::getgrgid(info.st_gid)) owner = g->gr_name;
    }
    const std::string what = "No permission to use " + device + ": your user must be in the ";
    if (owner.empty()) {
      return what + "group that owns the device (\"dialout\" on Debian), then log in again.";
    }
    return what + "group \"" + owner + "\" that owns the device (on Debian: sudo adduser $USER " +
           owner + "), then log in again.";
  }
#endif
  return "The port " + device + " is in use by another program (" + detail + ")";
}

struct LineParameters {
  std::int32_t baud = 0;
  QSerialPort::DataBits dataBits = QSerialPort::Data8;
  QSerialPort::Parity parity = QSerialPort::NoParity;
  QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

// Reads "speed,parity,databits,stopbits". False when any part is not one the port takes.
bool ParseSettingsText(std::string_view text, LineParameters& out) {
  std::string copy(text);
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t comma = copy.find(',', start);
    parts.push_back(Trim(copy.substr(start, comma - start)));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (parts.size() != 4) return false;
  if (!AllDigits(parts[0]) || parts[0].size() > 7) return false;
  out.baud = static_cast<std::int32_t>(std::stol(parts[0]));
  if (out.baud <= 0) return false;

  const std::string parity = ToLowerAscii(parts[1]);
  if (parity == "n") {
    out.parity = QSerialPort::NoParity;
  } else if (parity == "e") {
    out.parity = QSerialPort::EvenParity;
  } else if (parity == "o") {
    out.parity = QSerialPort::OddParity;
  } else if (parity == "m") {
    out.parity = QSerialPort::MarkParity;
  } else if (parity == "s") {
    out.parity = QSerialPort::SpaceParity;
  } else {
    return false;
  }

  if (parts[2] == "5") {
    out.dataBits = QSerialPort::Data5;
  } else if (parts[2] == "6") {
    out.dataBits = QSerialPort::Data6;
  } else if (parts[2] == "7") {
    out.dataBits = QSerialPort::Data7;
  } else if (parts[2] == "8") {
    out.dataBits = QSerialPort::Data8;
  } else {
    return false;
  }

  if (parts[3] == "1") {
    out.stopBits = QSerialPort::OneStop;
  } else if (parts[3] == "1.5") {
    out.stopBits = QSerialPort::OneAndHalfStop;
  } else if (parts[3] == "2") {
    out.stopBits = QSerialPort::TwoStop;
  } else {
    return false;
  }
  return true;
}

}  // namespace

std::string CommSettingsText(std::string_view speedText, std::string_view dataBitsText) {
  return std::string(speedText) + ",n," + std::string(dataBitsText) + ",1";
}

std::string DeviceForPort(int portNumber, const std::string& iniPath) {
  if (portNumber < 1) return "";
  const std::string key = "COM" + std::to_string(portNumber);
  if (!iniPath.empty()) {
    std::string mapped = ReadKey(iniPath, "Serial devices", key);
    if (!mapped.empty()) return mapped;
  }
#ifdef _WIN32
  return key;
#else
  return "/dev/ttyS" + std::to_string(portNumber - 1);
#endif
}

LinkSettings LinkSettingsFrom(const AppState& state) {
  auto selectedText = [](const ListModel& list) -> std::string {
    if (list.selected < 0 || list.selected >= list.Count()) return "";
    return list.entries[static_cast<size_t>(list.selected)];
  };
  LinkSettings s;
  s.portNumber = state.PortIndex + 1;
  s.speedText = selectedText(state.mainWindow.stCombComm[1]);
  s.dataBitsText = selectedText(state.mainWindow.stCombComm[2]);
  s.flowControlIndex = state.FlowControlIndex;
  return s;
}

SerialLink::SerialLink() : port_(std::make_unique<QSerialPort>()) {}

SerialLink::~SerialLink() { Close(); }

void SerialLink::SetFault(int code, std::string text) {
  faultCode_ = code;
  faultText_ = std::move(text);
  stalled_ = false;
}

bool SerialLink::Open(const std::string& device, std::string_view settingsText, int handshaking) {
  Close();
  SetFault(CommErrorCode::kNone, "");
  device_ = device;
  baud_ = 0;
  if (device.empty()) {
    SetFault(CommErrorCode::kInvalidPort, "Invalid port number");
    return false;
  }
  LineParameters p;
  if (!ParseSettingsText(settingsText, p)) {
    SetFault(CommErrorCode::kBadSettings,
             "Invalid port settings \"" + std::string(settingsText) + "\" for " + device);
    return false;
  }
  port_->clearError();
  port_->setPortName(QString::fromStdString(device));
  port_->setBaudRate(p.baud);
  port_->setDataBits(p.dataBits);
  port_->setParity(p.parity);
  port_->setStopBits(p.stopBits);
  port_->setFlowControl(handshaking != 0 ? QSerialPort::SoftwareControl
                                         : QSerialPort::NoFlowControl);
  if (!port_->open(QIODevice::ReadWrite)) {
    const auto error = port_->error();
    const std::string detail = port_->errorString().toStdString();
    port_->clearError();
    if (port_->isOpen()) port_->close();
    switch (error) {
      case QSerialPort::DeviceNotFoundError:
        SetFault(CommErrorCode::kInvalidPort, "No such port: " + device);
        break;
      case QSerialPort::PermissionError:
        SetFault(CommErrorCode::kPortInUse, PermissionFault(device, detail));
        break;
      case QSerialPort::UnsupportedOperationError:
        SetFault(CommErrorCode::kUnsupported, "The port " + device + " refuses the settings " +
                                                  std::string(settingsText) + " (" + detail + ")");
        break;
      default:
        SetFault(CommErrorCode::kOpenFailed, "Cannot open " + device + " (" + detail + ")");
        break;
    }
    return false;
  }
  baud_ = p.baud;
  return true;
}

bool SerialLink::IsOpen() const { return port_->isOpen(); }

void SerialLink::Close() {
  queued_.clear();
  if (port_ && port_->isOpen()) port_->close();
  if (port_) port_->clearError();
}

std::int64_t SerialLink::BytesWaiting() const {
  return port_->isOpen() ? port_->bytesAvailable() : 0;
}

bool SerialLink::HandleHungUp() const {
#ifndef _WIN32
  pollfd p{static_cast<int>(port_->handle()), POLLIN | POLLOUT, 0};
  if (::poll(&p, 1, 0) < 0) return true;
  return (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
#else
  return true;
#endif
}

bool SerialLink::TakePortError() {
  const auto error = port_->error();
  port_->clearError();
  switch (error) {
    case QSerialPort::NoError:
    case QSerialPort::TimeoutError:
      return false;
    case QSerialPort::ResourceError:
      // The port reports a write that would block (EAGAIN, e.g. while the receiver holds
      // the line with XOFF) as a resource error too; only a handle that has hung up means
      // the device is gone.
      if (!HandleHungUp()) return false;
      [[fallthrough]];
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
      // A tty whose other end is gone fails every read and write from then on; treat any
      // of these as the device having gone away, so callers stop and report once.
      SetFault(CommErrorCode::kDeviceUnavailable,
               "Device unavailable: the connection on " + device_ + " was lost");
      return true;
    case QSerialPort::NotOpenError:
      SetFault(CommErrorCode::kNotOpen, "The port is not open");
      return true;
    default:
      SetFault(CommErrorCode::kDeviceIo, "Device I/O error on " + device_);
      return true;
  }
}

bool SerialLink::WaitForData(int timeoutMs) {
  if (!port_->isOpen()) {
    SetFault(CommErrorCode::kNotOpen, "The port is not open");
    return false;
  }
  if (port_->bytesAvailable() > 0) return true;
  if (port_->waitForReadyRead(timeoutMs)) return true;
  TakePortError();
  return port_->bytesAvailable() > 0;
}

std::string SerialLink::Read(std::size_t maxBytes) {
  if (!port_->isOpen() || maxBytes == 0) return {};
  QByteArray bytes = port_->read(static_cast<qint64>(maxBytes));
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

bool SerialLink::Write(std::string_view text) {
  if (!port_->isOpen()) {
    SetFault(CommErrorCode::kNotOpen, "The port is not open");
    return false;
  }
  if (faultCode_ != CommErrorCode::kNone) return false;
  queued_.append(text);
  return HandOver();
}

bool SerialLink::HandOver() {
#ifndef _WIN32
  const int fd = static_cast<int>(port_->handle());
  std::size_t done = 0;
  while (done < queued_.size()) {
    const ssize_t n = ::write(fd, queued_.data() + done, queued_.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    // The driver is full, or the receiver holds the line with XOFF.
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    queued_.erase(0, done);
    if (errno == EIO || errno == ENXIO || HandleHungUp()) {
      SetFault(CommErrorCode::kDeviceUnavailable,
               "Device unavailable: the connection on " + device_ + " was lost");
    } else {
      SetFault(CommErrorCode::kDeviceIo,
               "Write failed on " + device_ + ": " + std::strerror(errno));
    }
    return false;
  }
  queued_.erase(0, done);
  return true;
#else
  const qint64 n = port_->write(queued_.data(), static_cast<qint64>(queued_.size()));
  queued_.clear();
  if (n < 0) {
    if (!TakePortError()) SetFault(CommErrorCode::kDeviceIo, "Write failed on " + device_);
    return false;
  }
  return true;
#endif
}

std::int64_t SerialLink::BytesToWrite() const {
  if (!port_->isOpen()) return 0;
#ifndef _WIN32
  return static_cast<std::int64_t>(queued_.size());
#else
  return port_->bytesToWrite();
#endif
}

std::int64_t SerialLink::BytesPending() const {
  if (!port_->isOpen()) return 0;
  std::int64_t pending = BytesToWrite();
#ifndef _WIN32
  int inDriver = 0;
  if (::ioctl(static_cast<int>(port_->handle()), TIOCOUTQ, &inDriver) == 0) pending += inDriver;
#endif
  return pending;
}

bool SerialLink::WaitWritten(int timeoutMs) {
  if (!port_->isOpen()) return false;
  if (faultCode_ != CommErrorCode::kNone) return false;
#ifndef _WIN32
  if (queued_.empty()) return true;
  pollfd p{static_cast<int>(port_->handle()), POLLOUT, 0};
  const int r = ::poll(&p, 1, timeoutMs);
  if (r > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) {
    SetFault(CommErrorCode::kDeviceUnavailable,
             "Device unavailable: the connection on " + device_ + " was lost");
    return false;
  }
  const std::size_t before = queued_.size();
  if (!HandOver()) return false;
  // Writable by poll but nothing taken: do not spin until the driver has room.
  if (r > 0 && queued_.size() == before) {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min(timeoutMs, 5)));
  }
  return queued_.empty();
#else
  if (port_->bytesToWrite() == 0) return true;
  port_->waitForBytesWritten(timeoutMs);
  if (TakePortError()) return false;
  return port_->bytesToWrite() == 0;
#endif
}

bool SerialLink::WaitOutput(bool untilSent, std::chrono::milliseconds stall,
                            const std::function<bool()>& whileWaiting) {
  using Steady = std::chrono::steady_clock;
  if (!port_->isOpen() || faultCode_ != CommErrorCode::kNone) return false;
  auto lastProgress = Steady::now();
  std::int64_t lastPending = BytesPending();
  for (;;) {
    if (BytesToWrite() > 0 && !WaitWritten(20)) {
      if (faultCode_ != CommErrorCode::kNone) return false;
    }
    const std::int64_t pending = untilSent ? BytesPending() : BytesToWrite();
    if (pending == 0) return true;
    // One rule for a receiver that holds the line: any byte leaving is progress, and the
    // same silence ends the wait for a line and the wait at the end alike.
    const std::int64_t all = BytesPending();
    const auto now = Steady::now();
    if (all != lastPending) {
      lastPending = all;
      lastProgress = now;
    } else if (now - lastProgress > stall) {
      SetFault(CommErrorCode::kDeviceIo,
               std::to_string(all) + " bytes could not be sent on " + device_ +
                   " (the receiver held the line for more than " +
                   std::to_string(std::chrono::duration_cast<std::chrono::seconds>(stall).count()) +
                   " seconds)");
      stalled_ = true;
      return false;
    }
    if (BytesToWrite() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (whileWaiting && !whileWaiting()) return false;
  }
}

void SerialLink::DiscardQueued() {
#ifndef _WIN32
  queued_.clear();
#else
  if (port_->isOpen()) port_->clear(QSerialPort::Output);
#endif
}

void SerialLink::DiscardOutput() {
  queued_.clear();
  if (port_->isOpen()) port_->clear(QSerialPort::Output);
}

std::string OpenCommPort(SerialLink& link, const LinkSettings& settings, const std::string& iniPath,
                         Reporter& reporter, const CommMessages& messages) {
  if (link.IsOpen()) link.Close();
  const std::string device =
      settings.device.empty() ? DeviceForPort(settings.portNumber, iniPath) : settings.device;
  const bool ok = link.Open(device, CommSettingsText(settings.speedText, settings.dataBitsText),
                            HandshakingFor(settings.flowControlIndex));
  if (ok) return "";
  const std::string word = std::to_string(link.faultCode());
  // The fault names the device, which the user may have to check or be given access to.
  reporter.Report(messages.portNotOpened + "\n" + link.faultText(), messages.error,
                  MessageIcon::Critical);
  return word;
}

void OpenCommPort(SerialLink& link, AppState& state, Reporter& reporter) {
  state.ActionWord = OpenCommPort(link, LinkSettingsFrom(state), state.IniFilePath, reporter,
                                  CommMessages::From(state));
}

}  // namespace korv
