// The settings file on the disk: found through Qt's standard paths (where Qt's own settings store kept
// it, so an earlier run's choices carry over), read and written through the record files' functions.
#include "platform/settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "app/file_error_text.h"
#include "app/ui.h"
#include "app/utf8.h"

namespace halvane {

std::string settings_path() {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return QFile::encodeName(folder + QStringLiteral("/halvane/halvane.conf")).toStdString();
}

Settings saved_settings() {
  std::string text;
  if (!read_file_bytes(settings_path(), text).ok()) return Settings{};
  return parse_settings(text);
}

FileStatus change_settings(const std::function<void(Settings&)>& change) {
  Settings settings = saved_settings();
  change(settings);
  const std::string path = settings_path();
  // A first run makes the folder; if that fails, the save says why.
  QDir().mkpath(QFileInfo(QFile::decodeName(path.c_str())).absolutePath());
  return write_file_bytes(path, format_settings(settings));
}

void remember_setting(const std::function<void(Settings&)>& change) {
  const FileStatus status = change_settings(change);
  if (status.ok()) return;
  const std::u16string text = u"設定を保存できませんでした。\n" + file_error_text(status, true);
  message_box(text.c_str(), utf16_from_utf8(settings_path()).c_str(), BOX_ERROR, BOX_OK);
}

}  // namespace halvane
