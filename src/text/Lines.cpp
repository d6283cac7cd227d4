#include "text/Lines.h"

namespace netsetup {

std::vector<LineSpan> splitLines(std::string_view text) {
  std::vector<LineSpan> lines;
  for (std::size_t pos = 0; pos < text.size();) {
    LineSpan line{pos, text.find_first_of("\r\n", pos), 0};
    if (line.stop == std::string_view::npos) {
      line.stop = line.next = text.size();
    } else {
      line.next = line.stop + 1;
      if (text[line.stop] == '\r' && line.next < text.size() && text[line.next] == '\n') ++line.next;
    }
    lines.push_back(line);
    pos = line.next;
  }
  return lines;
}

std::vector<std::string> splitLineTexts(std::string_view text) {
  std::vector<std::string> lines;
  for (const LineSpan& span : splitLines(text)) lines.emplace_back(text.substr(span.start, span.stop - span.start));
  return lines;
}

}  // namespace netsetup
