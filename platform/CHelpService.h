#pragma once
// Help by topic number: ShowTopic(n) looks n up in the help file of the
// running language (g_strHelpFile, beside the executable) and hands the
// request to the installed viewer. Until a viewer is installed the request
// is only recorded. Tests observe requests through the hook.
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

class CHelpService {
 public:
  struct Request {
    int topic = 0;
    QString helpFile;  // full path of the help file asked
    QUrl document;     // the page of the topic; empty when the file has none
  };
  using Handler = std::function<void(const Request&)>;

  static void ShowTopic(int topic);

  // The page of `topic` in a .qch file (keywords carry the numbers as ids);
  // an empty URL when the file or the topic is missing.
  static QUrl Lookup(const QString& helpFilePath, int topic);

  // The read-only engine of a .qch file, set up once per file and kept
  // for the run; nullptr when the file cannot be registered.
  static class QHelpEngineCore* Engine(const QString& helpFilePath);

  // The temporary folder of the engines' collections; empty while there is
  // none (before the first engine, and after the program quit).
  static QString CollectionFolder();

  // The viewer that shows the page (none by default).
  static void SetViewer(Handler viewer);
  // Test hook, called for every request before the viewer.
  static void SetHook(Handler hook);
  static std::optional<Request> LastRequest();
  static void ClearLastRequest();
};
