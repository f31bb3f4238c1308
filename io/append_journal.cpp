#include "io/append_journal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string_view>

#include "io/file_paths.h"

namespace vorline {

namespace {

constexpr std::string_view first_line = "vorline append journal\n";
constexpr std::string_view last_line = "end\n";
// The temporary files a run makes end their name with this and six characters.
constexpr std::string_view temporary_mark = ".new.";

struct JournalEntry {
    std::uint64_t size = 0;
    FileIdentity output;
    std::string temporary;
};

// The whole journal file; none when it is absent.
std::optional<std::string> read_whole(const std::string& path, const std::string& shown_name) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        if (errno == ENOENT) return std::nullopt;
        throw OutputError(shown_name, std::strerror(errno));
    }
    std::string text;
    char chunk[4096];
    for (;;) {
        const ssize_t count = ::read(descriptor, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) {
            const int error = errno;
            ::close(descriptor);
            if (count < 0) throw OutputError(shown_name, std::strerror(error));
            return text;
        }
        text.append(chunk, static_cast<std::size_t>(count));
    }
}

// Takes "<key> <value>\n" off the front of `text`; none when it is not there.
std::optional<std::string_view> take_field(std::string_view& text, std::string_view key) {
    if (!text.starts_with(key) || text.size() <= key.size() || text[key.size()] != ' ')
        return std::nullopt;
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) return std::nullopt;
    const std::string_view value = text.substr(key.size() + 1, end - key.size() - 1);
    text.remove_prefix(end + 1);
    return value;
}

std::optional<std::uint64_t> take_number(std::string_view& text, std::string_view key) {
    const std::optional<std::string_view> value = take_field(text, key);
    std::uint64_t number = 0;
    if (!value || value->empty()) return std::nullopt;
    const auto [end, error] = std::from_chars(value->data(), value->data() + value->size(), number);
    if (error != std::errc() || end != value->data() + value->size()) return std::nullopt;
    return number;
}

// The entry of a whole journal; none for a torn one.
std::optional<JournalEntry> parse(std::string_view text) {
    if (!text.starts_with(first_line) || !text.ends_with(last_line)) return std::nullopt;
    text.remove_prefix(first_line.size());
    text.remove_suffix(last_line.size());
    JournalEntry entry;
    const auto size = take_number(text, "size");
    const auto device = take_number(text, "device");
    const auto inode = take_number(text, "inode");
    const auto temporary = take_field(text, "temporary");
    if (!size || !device || !inode || !text.empty()) return std::nullopt;
    entry.size = *size;
    entry.output = {*device, *inode};
    if (temporary) entry.temporary = *temporary;
    return entry;
}

// Only a file named as this program names its temporary files is ever removed.
bool is_temporary_name(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    const std::string_view name = path.substr(slash == std::string_view::npos ? 0 : slash + 1);
    const std::size_t mark = name.rfind(temporary_mark);
    return mark != std::string_view::npos && mark > 0 &&
           name.size() - mark - temporary_mark.size() == 6;
}

bool write_whole(int descriptor, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(descriptor, text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

AppendJournal::AppendJournal(const OutputFile& output)
    : path_(link_target(output.path()) + ".vorline-journal"), output_name_(output.name()) {}

bool AppendJournal::roll_back(OutputFile& output) {
    const std::optional<std::string> text = read_whole(path_, output_name_);
    if (!text) return false;
    const std::optional<JournalEntry> entry = parse(*text);
    bool cut = false;
    if (entry) {
        // A run renames its temporary file into place only once the output is whole and on
        // the disk: when it is gone, the run ended after that, before removing the journal,
        // and its games stay. The journal is written before the temporary file is made, so
        // a run that ended between the two had appended nothing. An output replaced since
        // (another file under the name) is not cut either.
        const bool completed =
            !entry->temporary.empty() && access(entry->temporary.c_str(), F_OK) != 0;
        if (!completed && entry->output == output.identity()) cut = output.shorten_to(entry->size);
        if (!entry->temporary.empty() && is_temporary_name(entry->temporary))
            ::unlink(entry->temporary.c_str());
    }
    recorded_ = true;
    remove();
    return cut;
}

bool AppendJournal::record(const OutputFile& output, const std::string& temporary) {
    const FileIdentity identity = output.identity();
    std::string text(first_line);
    text += "size " + std::to_string(output.size_at_open()) + "\n";
    text += "device " + std::to_string(identity.device) + "\n";
    text += "inode " + std::to_string(identity.inode) + "\n";
    // Absolute, for a next run started in another folder.
    if (!temporary.empty())
        text += "temporary " + std::filesystem::absolute(temporary).string() + "\n";
    text += last_line;
    const int descriptor =
        ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (descriptor < 0) return false;
    recorded_ = true;
    const bool written = write_whole(descriptor, text) && fsync(descriptor) == 0;
    ::close(descriptor);
    if (!written || !sync_folder_of(path_)) {
        discard();
        return false;
    }
    return true;
}

void AppendJournal::remove() {
    if (!recorded_) return;
    if (::unlink(path_.c_str()) != 0 && errno != ENOENT)
        throw OutputError(output_name_, std::strerror(errno));
    recorded_ = false;
    if (!sync_folder_of(path_)) throw OutputError(output_name_, std::strerror(errno));
}

void AppendJournal::discard() noexcept {
    if (!recorded_) return;
    ::unlink(path_.c_str());
    sync_folder_of(path_);
    recorded_ = false;
}

}  // namespace vorline
