#pragma once
// The write log: one line for every write to a radio, from the window (one
// radio or a batch) and from chanset-cli (one port or a fleet), so that it can
// be said later which plan went into which radio, when, and how it ended.
//
//   $XDG_DATA_HOME/Chanset/writes.csv   (default ~/.local/share/Chanset/writes.csv)
//
//   time,port,usb_serial,document,sha256,radio_type,band,result
//   2024-05-01T14:03:09+02:00,usb-FTDI_FT232R_USB_UART_A10K3XQ2-if00-port0,A10K3XQ2,/home/shop/plan.dat,9f86d0...,KRR-45,400-470MHz,verified
//
// time       local time with its offset from UTC (ISO 8601)
// port       the cable's /dev/serial/by-id/ name, else the device path
// usb_serial the USB serial number of the cable as sysfs gives it, or empty
// document   the .dat file written (empty for a document never saved)
// sha256     SHA-256 of the whole 1024-byte image sent (sha256sum of a .dat
//            file's last 1024 bytes gives the same)
// radio_type, band   as the settings file names them, else "#n" (1-based)
// result     see LogWords (link/WriteOutcome.h)
//
// The file is CSV (data/Csv.h); the header line is written with its first
// line. Lines are only ever appended.
#include <ctime>
#include <string>
#include <vector>

#include "data/Csv.h"
#include "data/MemoryImage.h"
#include "link/PortDiscovery.h"

namespace chanset {

class CSettingsFile;

std::string WriteLogPath();

struct WriteRecord {
  std::time_t when = 0;
  std::string port;
  std::string usbSerial;
  std::string document;
  std::string sha256;
  std::string radioType;
  std::string band;
  std::string result;
};

// The record of writing `image` (from the file `document`) to the device at
// `devicePath`, ended with `result`: the port's names from below `roots`, the
// image's type and band named by `names` (null: "#n").
WriteRecord DescribeWrite(const DiscoveryRoots& roots, const std::string& devicePath, const std::string& document,
                          const Image& image, const CSettingsFile* names, const std::string& result,
                          std::time_t when = std::time(nullptr));

// The column names, in order.
const CsvRecord& WriteLogColumns();
// The record as one CSV line (with "\n"), the header line before it when
// `withHeader`.
std::string WriteLogText(const WriteRecord& record, bool withHeader);

// Appends `record` to the write log through the one appending writer
// (platform/AtomicFile.h): its folder made (0700) when missing, the header
// line first when the file is new or empty, the line in one write. Safe from
// any thread. False with *error (naming the file) when it cannot be written:
// the write itself stands; the caller warns.
bool AppendWriteLog(const WriteRecord& record, std::string* error = nullptr);

// "2024-05-01T14:03:09+02:00": `when` in local time with its offset.
std::string IsoLocalTime(std::time_t when);
// Reads a time as the log and the user write it: "YYYY-MM-DD" (local
// midnight), "YYYY-MM-DDTHH:MM[:SS]" (local; a space for the T is taken
// too), either followed by "Z" or an offset "+HH:MM" / "-HHMM". False for
// anything else, and for dates that do not exist.
bool ParseIsoTime(const std::string& text, std::time_t& when);

// The lines of a log's text, the header left out. With `since` set (not -1),
// only lines whose time is at or after it; lines whose time cannot be read
// are then left out and counted in *unreadable. A text that is not CSV as a
// whole (a line cut short) is read line by line, and the lines that still
// are not are counted too.
std::vector<CsvRecord> WriteLogRows(const std::string& text, std::time_t since = -1, int* unreadable = nullptr);

}  // namespace chanset
