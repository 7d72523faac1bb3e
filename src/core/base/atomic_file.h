// Replacing a whole file so that a crash or power cut leaves either the old or the new contents,
// never a mix: temporary file beside the target, flushed to disk, one rename, folder flushed.
#pragma once

#include <filesystem>
#include <string_view>

namespace tarvo {

// Writes bytes as the new contents of path. A symbolic link is followed and its target replaced;
// an existing file keeps its mode, and one without any write permission is refused and left as
// it is. False when the file could not be written; the old contents then stay.
bool ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes);

// The file a path names once symbolic links are followed (the path itself when it is no link,
// or when the links loop).
std::filesystem::path FollowLinks(const std::filesystem::path& path);

}  // namespace tarvo
