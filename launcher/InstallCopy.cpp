#include "launcher/InstallCopy.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace pexor {

namespace {

std::string lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  });
  return s;
}

// One step of the copy. The source is listed whole before anything is
// copied, so the totals are known from the first file on at no extra cost:
// each source folder is still listed once.
struct Step {
  enum Kind { Folder, File, Unlisted } kind = File;
  std::string from, to;
  int folder = -1; // the step of the folder it goes into; -1: none
  std::uint64_t size = 0;
  std::int64_t lastWrite = 0;
  std::optional<Error> error; // Unlisted: why the source folder could not be listed
};

void plan(Port &port, const std::string &from, const std::string &to, int parent,
          std::vector<Step> &steps) {
  std::vector<FolderEntry> source;
  try {
    source = port.listFolder(from);
  } catch (const Error &e) {
    steps.push_back(Step{Step::Unlisted, from, to, parent, 0, 0, e});
    return;
  }
  const int self = static_cast<int>(steps.size());
  steps.push_back(Step{Step::Folder, from, to, parent, 0, 0, std::nullopt});
  for (const FolderEntry &entry : source) {
    const std::string src = from + "\\" + entry.name;
    const std::string dst = to + "\\" + entry.name;
    if (entry.isFolder)
      plan(port, src, dst, self, steps);
    else
      steps.push_back(Step{Step::File, src, dst, self, entry.size, entry.lastWrite, std::nullopt});
  }
}

using Present = std::unordered_map<std::string, FolderEntry>;

// FAT keeps last-write times to 2 s (exFAT's count in 10 ms but are taken
// alike): a copy there has its time rounded, and would count as changed at
// every start. Anywhere else a time is kept as it was set.
std::int64_t timeSlack(const std::string &fileSystem) {
  const std::string name = lower(fileSystem);
  constexpr std::int64_t TwoSeconds = 20000000; // file time units of 100 ns
  return name.rfind("fat", 0) == 0 || name == "exfat" ? TwoSeconds : 0;
}

bool sameTime(std::int64_t a, std::int64_t b, std::int64_t slack) {
  return (a > b ? a - b : b - a) < slack;
}

// The target folder's files by their folded name, the folder made when
// missing.
Present presentIn(Port &port, const std::string &to) {
  Present present;
  if (port.folderExists(to)) {
    for (FolderEntry &entry : port.listFolder(to))
      present.emplace(lower(entry.name), std::move(entry));
  } else {
    port.createFolder(to);
  }
  return present;
}

} // namespace

std::optional<CopyFailure> copyFolderContents(Port &port, const std::string &from,
                                              const std::string &to, const CopyWatch &watch) {
  std::vector<Step> steps;
  plan(port, from, to, -1, steps);
  // The volume is asked only when a time differs: a second start over an
  // unchanged copy never asks.
  std::optional<std::int64_t> slack;
  const auto sameTimes = [&](std::int64_t a, std::int64_t b) {
    if (a == b)
      return true;
    if (!slack)
      slack = timeSlack(port.fileSystemName(to));
    return sameTime(a, b, *slack);
  };
  CopyProgress progress;
  for (const Step &step : steps)
    if (step.kind == Step::File) {
      ++progress.totalFiles;
      progress.totalBytes += step.size;
    }

  std::optional<CopyFailure> firstFailure;
  const auto failed = [&](const std::string &path, const Error &e) {
    if (!firstFailure)
      firstFailure = CopyFailure{path, e};
  };
  // A folder's entry stays empty when it could not be made or listed: what
  // lies in it is passed over, as it is below a folder that was not listed.
  std::vector<std::optional<Present>> folders(steps.size());
  for (size_t i = 0; i < steps.size(); ++i) {
    const Step &step = steps[i];
    const bool reachable = step.folder < 0 || folders[static_cast<size_t>(step.folder)];
    if (step.kind == Step::Unlisted) {
      if (reachable)
        failed(step.from, *step.error);
    } else if (step.kind == Step::Folder) {
      if (reachable) {
        try {
          folders[i] = presentIn(port, step.to);
        } catch (const Error &e) {
          failed(step.to, e);
        }
      }
    } else {
      if (reachable) {
        const Present &present = *folders[static_cast<size_t>(step.folder)];
        const auto it = present.find(lower(step.to.substr(step.to.rfind('\\') + 1)));
        const bool unchanged = it != present.end() && !it->second.isFolder &&
                               it->second.size == step.size &&
                               sameTimes(it->second.lastWrite, step.lastWrite);
        try {
          if (!unchanged)
            port.copyFile(step.from, step.to);
        } catch (const Error &e) {
          failed(step.to, e);
        }
      }
      ++progress.files;
      progress.bytes += step.size;
      if (watch)
        watch(progress);
    }
  }
  return firstFailure;
}

} // namespace pexor
