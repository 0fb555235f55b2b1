// Store of the editor's files: every text is built whole first, and only whole texts are
// written, all together. Every outcome leaves its message on the status line.
#include "disk/stored_file.h"

#include "model/status.h"

namespace {

// The message of a text that could not be built.
void ReportBuild(const StoredFile& file, TextBuild r) {
  if (r == kTextOldUnreadable)  // its unknown lines could not be carried over: keep the old file
    SetStatus("Could not read %s", file.name);
  else
    SetStatus("Could not write %s", file.name);
}

}  // namespace

bool (*AskChangedOnDisk)(const StoredFile* const* files, int n) = nullptr;

const char* StoreFiles(const StoredFile* const* files, int n) {
  WholeFile writes[kMaxWholeFiles];
  if (n > kMaxWholeFiles) return files[0]->name;
  for (;;) {
    for (int i = 0; i < n; ++i) {
      const StoredFile& file = *files[i];
      size_t len = 0;
      TextBuild r = file.build(file.text, file.cap, &len);
      if (r != kTextBuilt) {
        ReportBuild(file, r);
        return file.name;
      }
      writes[i] = {file.name, file.text, len, kWriteOk, 0};
    }
    int failed = WriteWholeFiles(writes, n);
    if (failed < 0) break;
    const StoredFile& file = *files[failed];
    if (writes[failed].result == kWriteChangedOutside && AskChangedOnDisk) {
      if (AskChangedOnDisk(files, n)) continue;  // built afresh: the old lines carried over may have changed
      return file.name;                          // the answer said what became of the store
    }
    if (file.writeFailed && writes[failed].result != kWriteChangedOutside)
      file.writeFailed(writes[failed].len, writes[failed].result, writes[failed].written);
    SetStatus("Could not write %s", file.name);
    return file.name;
  }
  for (int i = 0; i < n; ++i) SetStatus("Wrote %i bytes to %s", static_cast<int>(writes[i].len), files[i]->name);
  return nullptr;
}

bool StoreFile(const StoredFile& file) {
  const StoredFile* one[] = {&file};
  return StoreFiles(one, 1) == nullptr;
}
