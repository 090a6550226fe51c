// A reading of Qt's INI format (qsettings.cpp, Qt 6) that keeps commas.
#include "platform/ini_text.h"

#include <QStringDecoder>
#include <QStringView>

namespace platform {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// One logical line from `pos` on, as Qt's readIniLine cuts it: a ";" at the
// start makes a comment, one later outside quotes ends the line; quotes and
// a backslash carry a line break into the line. Returns false at the end.
bool ReadLine(QByteArrayView data, qsizetype& pos, qsizetype& start, qsizetype& length,
              qsizetype& equals) {
  const qsizetype size = data.size();
  bool inQuotes = false;
  equals = -1;
  start = pos;
  while (start < size && IsSpace(data[start])) ++start;
  qsizetype i = start;
  while (i < size) {
    const char c = data[i++];
    if (c == '=') {
      if (!inQuotes && equals == -1) equals = i - 1;
    } else if (c == '\n' || c == '\r') {
      if (i == start + 1) {
        ++start;
      } else if (!inQuotes) {
        --i;
        break;
      }
    } else if (c == '\\') {
      if (i < size) {
        const char escaped = data[i++];
        if (i < size) {
          const char next = data[i];
          if ((escaped == '\n' && next == '\r') || (escaped == '\r' && next == '\n')) ++i;
        }
      }
    } else if (c == '"') {
      inQuotes = !inQuotes;
    } else if (c == ';') {
      if (i == start + 1) {
        while (i < size && data[i] != '\n' && data[i] != '\r') ++i;
        while (i < size && IsSpace(data[i])) ++i;
        start = i;
      } else if (!inQuotes) {
        --i;
        break;
      }
    }
  }
  pos = i;
  length = i - start;
  return length > 0;
}

// A section or key name: "%XX" and "%UXXXX" are character codes, "\" is "/".
QString UnescapedKey(QByteArrayView key) {
  const QString decoded = QString::fromUtf8(key);
  QString result;
  qsizetype i = 0;
  while (i < decoded.size()) {
    const QChar c = decoded[i];
    if (c == u'\\') {
      result += u'/';
      ++i;
      continue;
    }
    if (c != u'%' || i == decoded.size() - 1) {
      result += c;
      ++i;
      continue;
    }
    qsizetype first = i + 1;
    int digits = 2;
    if (decoded[first] == u'U') ++first, digits = 4;
    bool ok = false;
    const ushort code = first + digits <= decoded.size()
                            ? QStringView(decoded).sliced(first, digits).toUShort(&ok, 16)
                            : 0;
    if (!ok) {
      result += u'%';
      ++i;
      continue;
    }
    result += QChar(code);
    i = first + digits;
  }
  return result;
}

void ChopTrailingSpaces(QString& text, qsizetype limit) {
  qsizetype n = text.size();
  while (n > limit && (text[n - 1] == u' ' || text[n - 1] == u'\t')) --n;
  text.truncate(n);
}

// A value as Qt's iniUnescapedStringList reads it, with "," as an ordinary
// character, then as its stringToVariant reads a text ("@@" for a leading "@").
QString UnescapedValue(QByteArrayView text) {
  static constexpr char kEscapes[][2] = {{'a', '\a'}, {'b', '\b'},  {'f', '\f'}, {'n', '\n'},
                                         {'r', '\r'}, {'t', '\t'},  {'v', '\v'}, {'"', '"'},
                                         {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
  QString result;
  QStringDecoder fromUtf8(QStringDecoder::Utf8);
  bool inQuotes = false, quoted = false, chop = true;
  const qsizetype size = text.size();
  qsizetype i = 0;
  const auto skipSpaces = [&] {
    while (i < size && (text[i] == ' ' || text[i] == '\t')) ++i;
  };
  skipSpaces();
  qsizetype chopLimit = 0;
  while (i < size) {
    const char c = text[i];
    if (c == '\\') {
      if (++i >= size) {
        chop = false;  // Qt ends here without chopping
        break;
      }
      const char escaped = text[i++];
      bool known = false;
      for (const auto& code : kEscapes) {
        if (escaped == code[0]) result += QLatin1Char(code[1]), known = true;
      }
      if (!known && (escaped == 'x' || (escaped >= '0' && escaped <= '7'))) {
        const bool hex = escaped == 'x';
        const auto digit = [&](char d) -> int {
          if (d >= '0' && d <= '7') return d - '0';
          if (!hex) return -1;
          if (d >= '8' && d <= '9') return d - '0';
          if (d >= 'a' && d <= 'f') return d - 'a' + 10;
          if (d >= 'A' && d <= 'F') return d - 'A' + 10;
          return -1;
        };
        if (hex && (i >= size || digit(text[i]) < 0)) {
          if (i >= size) chop = false;
          chopLimit = result.size();
          if (i >= size) break;
          continue;
        }
        char16_t value = hex ? 0 : static_cast<char16_t>(escaped - '0');
        while (i < size && digit(text[i]) >= 0)
          value = static_cast<char16_t>((value << (hex ? 4 : 3)) + digit(text[i++]));
        result += QChar(value);
        if (i >= size) {
          chop = false;
          break;
        }
      } else if (!known && (escaped == '\n' || escaped == '\r')) {
        if (i < size && (text[i] == '\n' || text[i] == '\r') && text[i] != escaped) ++i;
      }
      chopLimit = result.size();
    } else if (c == '"') {
      ++i;
      quoted = true;
      inQuotes = !inQuotes;
      if (!inQuotes) {
        skipSpaces();
        chopLimit = result.size();
      }
    } else {
      qsizetype j = i + 1;
      while (j < size && text[j] != '\\' && text[j] != '"') ++j;
      result += fromUtf8(text.sliced(i, j - i));
      i = j;
    }
  }
  if (chop && !quoted) ChopTrailingSpaces(result, chopLimit);
  if (result.startsWith(QLatin1String("@@"))) result.remove(0, 1);
  return result;
}

}  // namespace

QHash<QString, QString> IniTexts(QByteArrayView data) {
  if (data.startsWith("\xef\xbb\xbf")) data = data.sliced(3);
  QHash<QString, QString> texts;
  QString section;
  qsizetype pos = 0, start = 0, length = 0, equals = -1;
  while (ReadLine(data, pos, start, length, equals)) {
    const QByteArrayView line = data.sliced(start, length);
    if (line.startsWith('[')) {
      qsizetype close = line.indexOf(']');
      if (close < 0) close = line.size();
      const QByteArrayView name = line.sliced(1, close - 1).trimmed();
      if (name.compare("general", Qt::CaseInsensitive) == 0) {
        section.clear();
      } else if (name.compare("%general", Qt::CaseInsensitive) == 0) {
        section = QString::fromLatin1(name.sliced(1)) + u'/';
      } else {
        section = UnescapedKey(name) + u'/';
      }
      continue;
    }
    if (equals < 0) continue;
    const qsizetype keyEnd = equals - start;
    texts.insert(section + UnescapedKey(line.first(keyEnd).trimmed()),
                 UnescapedValue(line.sliced(keyEnd + 1)));
  }
  return texts;
}

}  // namespace platform
