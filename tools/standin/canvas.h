#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace zelto::standin {

// The answer to one request: the response as JSON text, and the log's line about what happened.
struct Answer {
  std::string response;
  std::string log;
};

// The answer that refuses a request with `error`, the text the client shows.
Answer refusal(std::string_view error, std::string log);

// The stand-in app's canvas, in memory: terminals with their agents, and the notes, diagrams, pages
// and browser webviews created on it, each connected to the terminal that created it. Answers the
// client's requests as the app does.
class Canvas {
 public:
  // Starts with the caller's terminal ("Terminal 1") connected to two other agents' terminals, one of
  // which waits for the caller's answer. Files of new nodes go into `folder`.
  Canvas(std::filesystem::path folder, std::string token);

  const std::string& caller_id() const { return terminals_.front().id; }
  const std::string& token() const { return token_; }

  Answer answer(std::string_view request_line);

 private:
  struct Terminal {
    std::string id;
    std::string label;
    bool awaits_reply;  // its agent asked the caller something and waits for the answer
  };
  enum class FileKind { note, diagram, page };
  struct FileNode {
    FileKind kind;
    std::string label;
    std::string path;
    std::string owner;  // id of the terminal it is connected to
  };
  struct Browser {
    std::string label;
    std::string url;
    std::string cdp;
    std::string owner;
  };
  struct Request;

  Answer list(const Request& request);
  Answer send(const Request& request);
  Answer reply(const Request& request);
  Answer note(const Request& request) { return create_file(request, FileKind::note); }
  Answer diagram(const Request& request) { return create_file(request, FileKind::diagram); }
  Answer page(const Request& request) { return create_file(request, FileKind::page); }
  Answer browse(const Request& request);
  Answer create_file(const Request& request, FileKind kind);

  const Terminal* terminal(std::string_view id) const;
  std::vector<Terminal*> peers_of(std::string_view id);
  std::string unique_label(const std::string& wanted);

  std::filesystem::path folder_;
  std::string token_;
  std::vector<Terminal> terminals_;
  std::vector<std::pair<std::string, std::string>> links_;  // connected terminal ids, both ways
  std::vector<FileNode> files_;
  std::vector<Browser> browsers_;
  std::set<std::string> labels_;  // of the files' nodes
  // The numbers tried, by label wanted and by file name: 1 for the name itself, then 2, 3...
  std::map<std::string, int> label_numbers_, file_numbers_;
};

}  // namespace zelto::standin
