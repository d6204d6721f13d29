#include "link/WriteLog.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <sstream>
#include <sys/stat.h>

#include "data/MemoryImage.h"
#include "data/RadioBands.h"
#include "platform/AtomicFile.h"
#include "platform/PathRules.h"
#include "platform/Sha256.h"
#include "platform/UserDirs.h"

namespace chanset {

namespace {

std::string BaseName(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The type's and the band's names when the settings file has them, else "#n".
void NameTypeAndBand(const Image& image, const CSettingsFile* names, WriteRecord& r) {
  const int type = image[off::kRadioType];
  const std::size_t band = image[off::kBand];
  r.radioType = names ? TypeName(*names, image) : std::string();
  if (r.radioType.empty()) r.radioType = "#" + std::to_string(type + 1);
  if (names) {
    std::vector<std::string> bands = BandList(*names, type);
    if (band < bands.size()) r.band = bands[band];
  }
  if (r.band.empty()) r.band = "#" + std::to_string(band + 1);
}

// Reads `digits` decimal digits at `at`; false when they are not there.
bool Digits(const std::string& text, std::size_t& at, int digits, int& value) {
  value = 0;
  for (int i = 0; i < digits; ++i, ++at) {
    if (at >= text.size() || text[at] < '0' || text[at] > '9') return false;
    value = value * 10 + (text[at] - '0');
  }
  return true;
}

bool Char(const std::string& text, std::size_t& at, char c) {
  if (at < text.size() && text[at] == c) return ++at, true;
  return false;
}

}  // namespace

std::string WriteLogPath() { return DataHome() + "/Chanset/writes.csv"; }

WriteRecord DescribeWrite(const DiscoveryRoots& roots, const std::string& devicePath, const std::string& document,
                          const Image& image, const CSettingsFile* names, const std::string& result,
                          std::time_t when) {
  WriteRecord r;
  r.when = when;
  SerialDevice device = DescribeDevice(roots, devicePath);
  r.port = device.byId.empty() ? devicePath : BaseName(device.byId);
  r.usbSerial = device.serial;
  r.document = document;
  r.sha256 = Sha256Hex(image.data(), image.size());
  NameTypeAndBand(image, names, r);
  r.result = result;
  return r;
}

const CsvRecord& WriteLogColumns() {
  static const CsvRecord kColumns = {"time", "port", "usb_serial", "document", "sha256", "radio_type", "band", "result"};
  return kColumns;
}

std::string WriteLogText(const WriteRecord& r, bool withHeader) {
  std::string text = withHeader ? CsvLine(WriteLogColumns()) : std::string();
  return text + CsvLine({IsoLocalTime(r.when), r.port, r.usbSerial, r.document, r.sha256, r.radioType, r.band, r.result});
}

bool AppendWriteLog(const WriteRecord& record, std::string* error) {
  // The radios of a batch end on threads of their own: one line at a time,
  // so that one header is written, before every line.
  static std::mutex mutex;
  std::lock_guard<std::mutex> lock(mutex);
  const std::string path = WriteLogPath();
  std::string reason;
  if (!MakeFolders(FolderOf(path), &reason)) {
    if (error) *error = FolderOf(path) + ": " + reason;
    return false;
  }
  struct stat st;
  const bool fresh = stat(path.c_str(), &st) != 0 || st.st_size == 0;
  AppendFile log;
  if (!log.Open(path, error)) return false;
  if (log.Append(WriteLogText(record, fresh))) return true;
  if (error) *error = path + ": " + log.Failure();
  return false;
}

std::string IsoLocalTime(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char stamp[32], zone[8];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &local);
  std::strftime(zone, sizeof zone, "%z", &local);  // +0200
  std::string offset = zone;
  if (offset.size() == 5) offset.insert(3, ":");
  return stamp + offset;
}

bool ParseIsoTime(const std::string& text, std::time_t& when) {
  std::size_t at = 0;
  std::tm t{};
  int year, month, day, hour = 0, minute = 0, second = 0;
  if (!Digits(text, at, 4, year) || !Char(text, at, '-') || !Digits(text, at, 2, month) || !Char(text, at, '-') ||
      !Digits(text, at, 2, day))
    return false;
  if (Char(text, at, 'T') || Char(text, at, ' ')) {
    if (!Digits(text, at, 2, hour) || !Char(text, at, ':') || !Digits(text, at, 2, minute)) return false;
    if (Char(text, at, ':') && !Digits(text, at, 2, second)) return false;
  }
  bool utc = false;
  long offset = 0;
  if (Char(text, at, 'Z')) {
    utc = true;
  } else if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    const long sign = text[at++] == '-' ? -1 : 1;
    int oh, om;
    if (!Digits(text, at, 2, oh)) return false;
    Char(text, at, ':');
    if (!Digits(text, at, 2, om) || oh > 23 || om > 59) return false;
    utc = true;
    offset = sign * (oh * 3600L + om * 60L);
  }
  if (at != text.size() || month < 1 || month > 12 || day < 1 || hour > 23 || minute > 59 || second > 59)
    return false;
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  t.tm_isdst = -1;
  std::tm asked = t;
  when = utc ? timegm(&t) - offset : std::mktime(&t);
  // The library moves 31 February to March: such a date does not exist.
  return when != -1 && t.tm_mday == asked.tm_mday && t.tm_mon == asked.tm_mon;
}

std::vector<CsvRecord> WriteLogRows(const std::string& text, std::time_t since, int* unreadable) {
  std::vector<CsvRecord> records;
  int bad = 0;
  if (!ParseCsv(text, records)) {
    records.clear();
    std::istringstream lines(text);
    std::string line;
    std::vector<CsvRecord> one;
    while (std::getline(lines, line)) {
      if (line.empty()) continue;
      if (ParseCsv(line, one) && one.size() == 1)
        records.push_back(one[0]);
      else
        ++bad;
    }
  }
  std::vector<CsvRecord> rows;
  for (const CsvRecord& r : records) {
    if (r == WriteLogColumns()) continue;
    if (since != -1) {
      std::time_t when;
      if (r.empty() || !ParseIsoTime(r[0], when)) {
        ++bad;
        continue;
      }
      if (when < since) continue;
    }
    rows.push_back(r);
  }
  if (unreadable) *unreadable = bad;
  return rows;
}

}  // namespace chanset
