// The serial link to the instrument: one small class with exactly the operations the
// transfers need (open with settings, is-open, bytes waiting, wait, read, write, drain,
// close), and OpenCommPort, which turns the user's link choice into an open port.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "comm/comm_messages.h"
#include "core/reporter.h"

class QSerialPort;

namespace korv {

struct AppState;

// Error numbers a failed open or a failing link leaves in the answer word.
namespace CommErrorCode {
constexpr int kNone = 0;
constexpr int kDeviceIo = 57;           // read or write on the port failed
constexpr int kDeviceUnavailable = 68;  // the port went away while in use
constexpr int kBadSettings = 380;       // settings text the port cannot take
constexpr int kInvalidPort = 8002;      // no such port
constexpr int kPortInUse = 8005;        // open elsewhere (lock file) or not permitted
constexpr int kUnsupported = 8010;      // the device refuses these line parameters
constexpr int kOpenFailed = 8015;       // any other failure to open
constexpr int kNotOpen = 8018;          // operation needs an open port
}  // namespace CommErrorCode

// The user's link choice as one value.
struct LinkSettings {
  int portNumber = 1;               // PortIndex + 1
  std::string device;               // a device path typed by the user; overrides portNumber
  std::string speedText = "19200";  // displayed text of the speed list
  std::string dataBitsText = "8";   // displayed text of the data-bits list
  int flowControlIndex = 1;         // 0 none, any other index Xon/Xoff
};

// "speed,n,databits,1", e.g. "9600,n,8,1".
std::string CommSettingsText(std::string_view speedText, std::string_view dataBitsText);

// Handshaking mode for a flow-control list index: 0 none, 1 Xon/Xoff.
inline int HandshakingFor(int flowControlIndex) { return flowControlIndex != 0 ? 1 : 0; }

// Device of serial port n: key "COM<n>" of section "[Serial devices]" of the settings file
// when present, otherwise the system's n-th serial port. "" for n below 1.
std::string DeviceForPort(int portNumber, const std::string& iniPath);

// The link choice of the settings tab: port index + 1 and the displayed texts of the speed
// and data-bits lists.
LinkSettings LinkSettingsFrom(const AppState& state);

class SerialLink {
 public:
  SerialLink();
  ~SerialLink();
  SerialLink(const SerialLink&) = delete;
  SerialLink& operator=(const SerialLink&) = delete;

  // Opens `device` with a settings text "speed,parity,databits,stopbits" (parity one of
  // n e o m s) and handshaking 0 none or 1 Xon/Xoff. False with fault() set on failure; the
  // port is then closed.
  bool Open(const std::string& device, std::string_view settingsText, int handshaking);
  bool IsOpen() const;
  void Close();

  // Received bytes not yet read (only those already taken from the driver).
  std::int64_t BytesWaiting() const;
  // Waits at most `timeoutMs` for received bytes. True when bytes are waiting; false on
  // timeout or when the link failed (fault() then tells which).
  bool WaitForData(int timeoutMs);
  // Returns and removes up to `maxBytes` waiting bytes.
  std::string Read(std::size_t maxBytes);

  // Queues `text` for sending and hands what the driver takes at once. False when the port
  // is not open or failed.
  bool Write(std::string_view text);
  // Bytes queued here, not yet handed to the driver.
  std::int64_t BytesToWrite() const;
  // Bytes not yet on the line: those queued here and those the driver still holds.
  std::int64_t BytesPending() const;
  // Hands queued bytes to the driver, waiting at most `timeoutMs` (flow control may hold
  // them). True when all were handed over; false on timeout or failure.
  bool WaitWritten(int timeoutMs);
  // Waits until every queued byte was handed to the driver (`untilSent` false) or has also
  // left the driver (`untilSent` true). Gives up after `stall` without a byte leaving: then
  // false with fault() set. `whileWaiting` runs between two looks (a window stays alive);
  // when it returns false the wait ends at once, false without a fault.
  bool WaitOutput(bool untilSent, std::chrono::milliseconds stall,
                  const std::function<bool()>& whileWaiting = {});
  // Drops the queued bytes that have not reached the driver; what the driver holds goes on.
  void DiscardQueued();
  // Drops the queued bytes and those the driver holds, so closing the port does not wait
  // for a receiver that holds the line.
  void DiscardOutput();

  // The last fault: its number (CommErrorCode) and description; 0 and "" when none.
  int faultCode() const { return faultCode_; }
  const std::string& faultText() const { return faultText_; }
  // True once the device went away (cable pulled, adapter unplugged, peer closed).
  bool vanished() const { return faultCode_ == CommErrorCode::kDeviceUnavailable; }
  // True when the last fault was a receiver holding the line (flow control) past the stall
  // limit of WaitOutput, rather than a failing device.
  bool stalled() const { return stalled_; }
  const std::string& device() const { return device_; }
  std::int32_t baudRate() const { return baud_; }

 private:
  void SetFault(int code, std::string text);
  // True when the port's handle reports a hang-up or an error condition.
  bool HandleHungUp() const;
  // Records a fault from the port's error state after a failed wait. False when the
  // failure was only a timeout.
  bool TakePortError();
  // Writes queued bytes to the driver as far as it takes them now. False on failure.
  bool HandOver();

  std::unique_ptr<QSerialPort> port_;
  // Bytes written but not yet taken by the driver: kept here rather than in the port's own
  // buffer, so a cancel can drop a line the driver has not started on without touching
  // the lines it already holds.
  std::string queued_;
  std::string device_;
  std::int32_t baud_ = 0;
  int faultCode_ = 0;
  std::string faultText_;
  bool stalled_ = false;
};

// Opens `link` for the chosen port: closes it first when open, then opens the device of
// the port number (or the typed device) with CommSettingsText and HandshakingFor. Returns
// the answer word: "" when open, otherwise the error number as text, after reporting
// message 15 and, on a line of its own, the fault (which names the device) with title
// message 11 and a stop icon; the port is then closed.
std::string OpenCommPort(SerialLink& link, const LinkSettings& settings, const std::string& iniPath,
                         Reporter& reporter, const CommMessages& messages = CommMessages());
// The same for the program's state: link choice of the settings tab, result in ActionWord.
void OpenCommPort(SerialLink& link, AppState& state, Reporter& reporter);

}  // namespace korv
