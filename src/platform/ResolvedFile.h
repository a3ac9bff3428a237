#pragma once
// A file reached by descriptor: its folder is opened component by component
// from the root, never following a link that another user could have put
// or changed on the way, and every later step (open, lock, temporary,
// rename, sync) happens relative to that folder's descriptor. A name swapped
// for a link, or a folder on the way renamed, after the resolution cannot
// redirect a read or a write elsewhere.
#include <string>

namespace quillmont {

class ResolvedFile {
 public:
  // Resolves every folder of `path` (an absolute path, or one relative to
  // the current folder). A link on the way, the last name included, is
  // followed only when it belongs to the player or to root and sits in a
  // folder that nobody else may change (or a sticky folder of the player's
  // or root's, where nobody else may replace it). With createFolders,
  // missing folders are made, mode 0700 (root making one in another user's
  // folder gives it to that user). A relative path with an `anchor` folder
  // descriptor starts there rather than in the current folder.
  explicit ResolvedFile(const std::string& path, bool createFolders = false, int anchor = -1);
  ~ResolvedFile();
  ResolvedFile(ResolvedFile&& other) noexcept;
  ResolvedFile& operator=(ResolvedFile&&) = delete;
  ResolvedFile(const ResolvedFile&) = delete;

  bool Ok() const { return folder_ >= 0; }
  // Not Ok only because a folder on the way does not exist (or is a file).
  bool Missing() const { return missing_; }
  // Why not, for standard error: "a link of another user's on the way".
  const std::string& Problem() const { return problem_; }
  // The folder, open for reading where the player may (so that it can be
  // synced), else for paths only.
  int Folder() const { return folder_; }
  // The file's name inside Folder(): no slash, never "." or "..".
  const std::string& Name() const { return name_; }
  // Whether the last name was reached through a link of the player's.
  bool ThroughLink() const { return throughLink_; }
  // The file's full path as resolved, for messages.
  std::string Path() const;

 private:
  bool Fail(std::string problem);

  int folder_ = -1;
  std::string name_;
  std::string problem_;
  bool throughLink_ = false;
  bool missing_ = false;
};

}  // namespace quillmont
