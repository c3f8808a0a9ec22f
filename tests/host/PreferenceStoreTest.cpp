#include "host/prefs/PreferenceStore.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <sstream>

namespace orbalis::host::testing_prefs {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using Store = host::PreferenceStore;

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

void writeAll(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// The suite's fixture; the store under test is Store.
class PreferenceStore : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "orbalis-prefs-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        directory_ = pattern;
        file_ = directory_ / "preferences.json";
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(directory_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(directory_, ec);
    }

    std::set<std::string> filesInDirectory() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(directory_)) names.insert(entry.path().filename().string());
        return names;
    }

    Store loaded() const {
        Store store(file_.string());
        std::string error;
        EXPECT_TRUE(store.load(&error)) << error;
        return store;
    }

    fs::path directory_;
    fs::path file_;
};

// Sets an environment variable for the length of a scope.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnvironment() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST_F(PreferenceStore, EveryTypeRoundTripsThroughTheFile) {
    const std::string text = "地図の縮尺「東京」 😀 \"quoted\"\n\\";
    const std::string path = "/home/ユーザー/地図 1.svg";
    const double reals[] = {3.0, 0.1, -4.9e-324, -std::numeric_limits<double>::infinity()};
    const char* realKeys[] = {"Factor", "Tenth", "Tiny", "Unbounded"};
    {
        Store store(file_.string());
        ASSERT_TRUE(store.load(nullptr));
        EXPECT_EQ(store.putBoolean("Orbalis", "Numbering", 1), 0);
        EXPECT_EQ(store.putInteger("Orbalis", "Scale", std::numeric_limits<int32_t>::min()), 0);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(store.putReal("Orbalis", realKeys[i], reals[i]), 0);
        EXPECT_EQ(store.putReal("Orbalis", "Undefined", std::numeric_limits<double>::quiet_NaN()), 0);
        EXPECT_EQ(store.putText("地図", "題名", text), 0);
        EXPECT_EQ(store.putFilePath(nullptr, "LastFile", path), 0);
    }
    Store store = loaded();
    int32_t integer = 0;
    double real = 0;
    std::string utf8;
    EXPECT_EQ(store.getBoolean("Orbalis", "Numbering", &integer), 0);
    EXPECT_EQ(integer, 1);
    EXPECT_EQ(store.getInteger("Orbalis", "Scale", &integer), 0);
    EXPECT_EQ(integer, std::numeric_limits<int32_t>::min());
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(store.getReal("Orbalis", realKeys[i], &real), 0);
        EXPECT_EQ(real, reals[i]) << realKeys[i];
    }
    EXPECT_EQ(store.getReal("Orbalis", "Undefined", &real), 0);
    EXPECT_TRUE(std::isnan(real));
    EXPECT_EQ(store.getText("地図", "題名", &utf8), 0);
    EXPECT_EQ(utf8, text);
    EXPECT_EQ(store.getFilePath("Host", "LastFile", &utf8), 0);
    EXPECT_EQ(utf8, path);

    // The file names each type; an integral real stays a real.
    auto document = nlohmann::json::parse(readAll(file_));
    EXPECT_EQ(document["Orbalis"]["Factor"]["type"], "real");
    EXPECT_TRUE(document["Orbalis"]["Factor"]["value"].is_number_float());
    EXPECT_EQ(document["Orbalis"]["Numbering"]["type"], "boolean");
    EXPECT_EQ(document["Host"]["LastFile"]["type"], "filePath");
}

TEST_F(PreferenceStore, ReadingUnderAnotherTypeLeavesTheValueAlone) {
    {
        Store store(file_.string());
        ASSERT_EQ(store.putBoolean("S", "Flag", 1), 0);
        ASSERT_EQ(store.putInteger("S", "One", 1), 0);
        ASSERT_EQ(store.putReal("S", "Whole", 2.0), 0);
        ASSERT_EQ(store.putText("S", "Name", "/maps"), 0);
    }
    // The types survive the file as well as memory.
    Store store = loaded();
    int32_t integer = 777;
    EXPECT_EQ(store.getInteger("S", "Flag", &integer), kHostTypeMismatchErr);
    EXPECT_EQ(store.getInteger("S", "Whole", &integer), kHostTypeMismatchErr);
    EXPECT_EQ(store.getBoolean("S", "One", &integer), kHostTypeMismatchErr);
    EXPECT_EQ(integer, 777);
    double real = 7.5;
    EXPECT_EQ(store.getReal("S", "One", &real), kHostTypeMismatchErr);
    EXPECT_EQ(real, 7.5);
    std::string text = "kept";
    EXPECT_EQ(store.getFilePath("S", "Name", &text), kHostTypeMismatchErr);
    EXPECT_EQ(store.getText("S", "Flag", &text), kHostTypeMismatchErr);
    EXPECT_EQ(text, "kept");

    // Writing under a new type replaces the old one.
    ASSERT_EQ(store.putInteger("S", "Flag", 5), 0);
    EXPECT_EQ(store.getInteger("S", "Flag", &integer), 0);
    EXPECT_EQ(integer, 5);
    EXPECT_EQ(store.getBoolean("S", "Flag", &integer), kHostTypeMismatchErr);
}

TEST_F(PreferenceStore, MissingKeysAndIsolatedSections) {
    Store store(file_.string());
    int32_t value = 42;
    EXPECT_EQ(store.getInteger("S", "K", &value), kHostNotFoundErr);
    ASSERT_EQ(store.putInteger("A", "K", 1), 0);
    ASSERT_EQ(store.putInteger("B", "K", 2), 0);
    ASSERT_EQ(store.putInteger(nullptr, "K", 3), 0);
    EXPECT_EQ(store.getInteger("A", "Other", &value), kHostNotFoundErr);
    EXPECT_EQ(store.getInteger("C", "K", &value), kHostNotFoundErr);
    EXPECT_EQ(store.getInteger("a", "K", &value), kHostNotFoundErr);
    EXPECT_EQ(value, 42);

    EXPECT_EQ(store.getInteger("A", "K", &value), 0);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(store.getInteger("B", "K", &value), 0);
    EXPECT_EQ(value, 2);
    EXPECT_EQ(store.getInteger(Store::kHostSection, "K", &value), 0);
    EXPECT_EQ(value, 3);

    // A boolean is 0 or 1, whatever non-zero value was put.
    ASSERT_EQ(store.putBoolean("A", "Flag", -9), 0);
    EXPECT_EQ(store.getBoolean("A", "Flag", &value), 0);
    EXPECT_EQ(value, 1);
}

TEST_F(PreferenceStore, RefusesNullsAndTextThatIsNotUtf8) {
    Store store(file_.string());
    int32_t value = 0;
    EXPECT_EQ(store.putInteger("S", nullptr, 1), kHostBadParameterErr);
    EXPECT_EQ(store.getInteger("S", nullptr, &value), kHostBadParameterErr);
    EXPECT_EQ(store.getInteger("S", "K", nullptr), kHostBadParameterErr);
    EXPECT_EQ(store.putText("S", "K", "caf\xE9"), kHostBadParameterErr);
    EXPECT_EQ(store.putFilePath("S", "K", "/maps/\xFF"), kHostBadParameterErr);
    EXPECT_EQ(store.putInteger("\x81", "K", 1), kHostBadParameterErr);
    std::string text;
    EXPECT_EQ(store.getText("S", "K", &text), kHostNotFoundErr);
    EXPECT_FALSE(fs::exists(file_));
}

TEST_F(PreferenceStore, MissingEmptyAndMemoryOnlyStores) {
    Store missing((directory_ / "none" / "preferences.json").string());
    std::string error = "untouched";
    EXPECT_TRUE(missing.load(&error));
    EXPECT_EQ(error, "untouched");
    // Saving creates the directory.
    EXPECT_EQ(missing.putInteger("S", "K", 1), 0);
    EXPECT_TRUE(fs::exists(directory_ / "none" / "preferences.json"));

    writeAll(file_, "  \n");
    Store empty(file_.string());
    EXPECT_TRUE(empty.load(nullptr));
    int32_t value = 0;
    EXPECT_EQ(empty.getInteger("S", "K", &value), kHostNotFoundErr);

    Store memory("");
    EXPECT_TRUE(memory.load(nullptr));
    EXPECT_EQ(memory.putReal("S", "K", 2.5), 0);
    double real = 0;
    EXPECT_EQ(memory.getReal("S", "K", &real), 0);
    EXPECT_EQ(real, 2.5);
    EXPECT_TRUE(memory.save(nullptr));
}

TEST_F(PreferenceStore, SavingLeavesNoTemporaryFile) {
    Store store(file_.string());
    for (int i = 0; i < 20; ++i) ASSERT_EQ(store.putInteger("S", "Count", i), 0);
    EXPECT_EQ(filesInDirectory(), std::set<std::string>{"preferences.json"});
    int32_t count = 0;
    EXPECT_EQ(loaded().getInteger("S", "Count", &count), 0);
    EXPECT_EQ(count, 19);
}

TEST_F(PreferenceStore, AFailedSaveKeepsTheValueInMemoryAndCleansUp) {
    // The target is a directory: the rename over it fails, even for root.
    fs::create_directory(file_);
    writeAll(file_ / "inside", "x");
    Store store(file_.string());
    EXPECT_EQ(store.putText("S", "K", "value"), kHostLockedErr);
    EXPECT_NE(store.lastError().find(file_.string()), std::string::npos) << store.lastError();
    std::string text;
    EXPECT_EQ(store.getText("S", "K", &text), 0);
    EXPECT_EQ(text, "value");
    EXPECT_EQ(filesInDirectory(), std::set<std::string>{"preferences.json"});
    EXPECT_EQ(readAll(file_ / "inside"), "x");

    // The directory cannot be created: a file stands in its place.
    Store blocked((directory_ / "preferences.json" / "inside" / "p.json").string());
    EXPECT_EQ(blocked.putInteger("S", "K", 1), kHostLockedErr);
    std::string error;
    EXPECT_FALSE(blocked.save(&error));
    EXPECT_EQ(error.find('\n'), std::string::npos);
}

// Permissions do not bind the super-user: run as root, a test gives the
// files to an unprivileged user and acts as that user for the scope's length.
class UnprivilegedScope {
public:
    explicit UnprivilegedScope(std::initializer_list<fs::path> owned) {
        if (::geteuid() != 0) return;
        constexpr uid_t kNobody = 65534;
        for (const fs::path& path : owned) EXPECT_EQ(::chown(path.c_str(), kNobody, kNobody), 0) << path;
        dropped_ = ::setegid(kNobody) == 0 && ::seteuid(kNobody) == 0;
        EXPECT_TRUE(dropped_) << "could not act as an unprivileged user";
    }
    ~UnprivilegedScope() {
        if (dropped_) {
            EXPECT_TRUE(::seteuid(0) == 0 && ::setegid(0) == 0);
        }
    }
    UnprivilegedScope(const UnprivilegedScope&) = delete;
    UnprivilegedScope& operator=(const UnprivilegedScope&) = delete;

private:
    bool dropped_ = false;
};

TEST_F(PreferenceStore, AReadOnlyDirectoryKeepsTheOriginalFile) {
    Store store(file_.string());
    ASSERT_EQ(store.putInteger("S", "K", 1), 0);
    const std::string original = readAll(file_);
    UnprivilegedScope unprivileged{directory_, file_};
    fs::permissions(directory_, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_EQ(store.putInteger("S", "K", 2), kHostLockedErr);
    EXPECT_EQ(readAll(file_), original);
    EXPECT_EQ(filesInDirectory(), std::set<std::string>{"preferences.json"});
    int32_t value = 0;
    EXPECT_EQ(store.getInteger("S", "K", &value), 0);
    EXPECT_EQ(value, 2);
}

TEST_F(PreferenceStore, AFileThatCannotBeUnderstoodIsNeverOverwritten) {
    const std::string broken[] = {
        "{ \"S\": { \"K\": ",
        "[1, 2]",
        "{\"S\": 3}",
        "{\"S\": {\"K\": 3}}",
        "{\"S\": {\"K\": {\"type\": \"integer\", \"value\": 2147483648}}}",
        "{\"S\": {\"K\": {\"type\": \"integer\", \"value\": 1.5}}}",
        "{\"S\": {\"K\": {\"type\": \"boolean\", \"value\": 1}}}",
        "{\"S\": {\"K\": {\"type\": \"real\", \"value\": \"many\"}}}",
        "{\"S\": {\"K\": {\"type\": \"colour\", \"value\": \"red\"}}}",
        "{\"S\": {\"K\": {\"type\": \"text\", \"value\": \"a\", \"note\": 1}}}",
        "{\"S\": {\"K\": {\"type\": \"text\", \"value\": \"\xff\xfe\"}}}",
        std::string("{\"S\": {\"K\": {\"type\": \"text\", \"value\": \"a\0b\"}}}"s),
        "<svg xmlns=\"http://www.w3.org/2000/svg\"/>\n",
        "\x89PNG\r\n\x1a\n",
    };
    for (const std::string& contents : broken) {
        writeAll(file_, contents);
        Store store(file_.string());
        std::string error;
        EXPECT_FALSE(store.load(&error)) << contents;
        EXPECT_NE(error.find(file_.string()), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_EQ(store.putInteger("S", "New", 1), kHostLockedErr) << contents;
        std::string saveError;
        EXPECT_FALSE(store.save(&saveError));
        EXPECT_NE(saveError.find(error), std::string::npos) << saveError;
        EXPECT_EQ(readAll(file_), contents);
        int32_t value = 0;
        EXPECT_EQ(store.getInteger("S", "New", &value), 0);
        EXPECT_EQ(value, 1);
    }

    // Reset is the explicit decision to start afresh.
    Store store(file_.string());
    EXPECT_FALSE(store.load(nullptr));
    store.reset();
    EXPECT_EQ(store.putInteger("S", "K", 3), 0);
    int32_t value = 0;
    EXPECT_EQ(loaded().getInteger("S", "K", &value), 0);
    EXPECT_EQ(value, 3);
}

TEST_F(PreferenceStore, ATruncatedFileIsReportedAndKept) {
    {
        Store store(file_.string());
        ASSERT_EQ(store.putText("Nodra-Orbalis1.5", "NL_BeforeString", "第"), 0);
        ASSERT_EQ(store.putInteger("Nodra-Orbalis1.5", "NL_Step", 2), 0);
    }
    const std::string whole = readAll(file_);
    for (std::size_t length : {std::size_t{1}, whole.size() / 2, whole.size() - 3}) {
        const std::string cut = whole.substr(0, length);
        writeAll(file_, cut);
        Store store(file_.string());
        std::string error;
        EXPECT_FALSE(store.load(&error)) << cut;
        EXPECT_NE(error.find("is not valid JSON"), std::string::npos) << error;
        EXPECT_EQ(store.putInteger("Nodra-Orbalis1.5", "NL_Step", 5), kHostLockedErr);
        EXPECT_EQ(readAll(file_), cut);
    }
}

TEST_F(PreferenceStore, DevicesPipesAndHugeFilesAreNeitherReadNorReplaced) {
    const fs::path pipe = directory_ / "pipe.json";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    Store fromPipe(pipe.string());
    std::string error;
    EXPECT_FALSE(fromPipe.load(&error)) << "a pipe with no writer must not block the load";
    EXPECT_NE(error.find("is not a regular file"), std::string::npos) << error;
    // Never loaded: the save itself must refuse to rename over the pipe.
    Store neverLoaded(pipe.string());
    EXPECT_EQ(neverLoaded.putInteger("S", "K", 1), kHostLockedErr);
    EXPECT_NE(neverLoaded.lastError().find("not a regular file"), std::string::npos) << neverLoaded.lastError();
    EXPECT_TRUE(fs::is_fifo(pipe));

    writeAll(file_, "{}");
    fs::resize_file(file_, (16u << 20) + 1);
    Store huge(file_.string());
    EXPECT_FALSE(huge.load(&error));
    EXPECT_NE(error.find("is larger than 16 MiB"), std::string::npos) << error;
    EXPECT_EQ(huge.putInteger("S", "K", 1), kHostLockedErr);
    EXPECT_EQ(fs::file_size(file_), (16u << 20) + 1);
}

TEST_F(PreferenceStore, ALinkedFileIsReplacedAndTheLinkKept) {
    const fs::path elsewhere = directory_ / "dotfiles";
    fs::create_directory(elsewhere);
    writeAll(elsewhere / "orbalis.json", "{}");
    fs::create_symlink(elsewhere / "orbalis.json", file_);
    Store store(file_.string());
    ASSERT_TRUE(store.load(nullptr));
    ASSERT_EQ(store.putInteger("S", "K", 7), 0) << store.lastError();
    EXPECT_TRUE(fs::is_symlink(file_));
    EXPECT_NE(readAll(elsewhere / "orbalis.json").find("\"K\""), std::string::npos);
    EXPECT_EQ(filesInDirectory(), (std::set<std::string>{"dotfiles", "preferences.json"}));
}

TEST_F(PreferenceStore, ALinkToAFileNotMadeYetMakesThatFile) {
    fs::create_symlink("dotfiles/orbalis.json", file_);
    Store store(file_.string());
    ASSERT_TRUE(store.load(nullptr));
    ASSERT_EQ(store.putInteger("S", "K", 7), 0) << store.lastError();
    EXPECT_TRUE(fs::is_symlink(file_));
    EXPECT_NE(readAll(directory_ / "dotfiles" / "orbalis.json").find("\"K\""), std::string::npos);
}

// Runs `body` in a child process whose files may not grow beyond `limit`
// bytes, as on a full disk, and returns its wait status. With the signal
// ignored, writes past the limit fail with EFBIG; otherwise SIGXFSZ kills
// the child in the middle of the write.
int WithFileSizeLimit(rlim_t limit, bool ignoreSignal, const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (ignoreSignal) ::signal(SIGXFSZ, SIG_IGN);
        const rlimit rl{limit, limit};
        if (::setrlimit(RLIMIT_FSIZE, &rl) != 0) ::_exit(100);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

TEST_F(PreferenceStore, AFullDiskKeepsTheOldContents) {
    {
        Store store(file_.string());
        ASSERT_EQ(store.putText("S", "Note", "old"), 0);
    }
    const std::string original = readAll(file_);
    const std::string big(4096, 'x');
    const int status = WithFileSizeLimit(original.size() + 16, true, [&] {
        Store store(file_.string());
        if (!store.load(nullptr)) return 1;
        if (store.putText("S", "Note", big) != kHostLockedErr) return 2;
        const std::string& error = store.lastError();
        if (error.find(file_.string()) == std::string::npos || error.find("too large") == std::string::npos) return 3;
        std::string inMemory;
        if (store.getText("S", "Note", &inMemory) != 0 || inMemory != big) return 4;
        return 0;
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readAll(file_), original);
    EXPECT_EQ(filesInDirectory(), std::set<std::string>{"preferences.json"});

    // Killed in the middle of the write, the process leaves the old file whole.
    const int killed = WithFileSizeLimit(original.size() + 16, false, [&] {
        Store store(file_.string());
        store.load(nullptr);
        store.putText("S", "Note", big);
        return 0;
    });
    ASSERT_TRUE(WIFSIGNALED(killed));
    EXPECT_EQ(WTERMSIG(killed), SIGXFSZ);
    EXPECT_EQ(readAll(file_), original);
    Store after(file_.string());
    EXPECT_TRUE(after.load(nullptr));
    EXPECT_EQ(after.putText("S", "Note", "new"), 0) << "a temporary file left by the killed process is in no way";
}

TEST_F(PreferenceStore, AnUnreadableFileIsNeverOverwritten) {
    fs::create_directory(file_);
    Store store(file_.string());
    std::string error;
    EXPECT_FALSE(store.load(&error));
    EXPECT_NE(error.find("cannot read"), std::string::npos) << error;
    EXPECT_EQ(store.putInteger("S", "K", 1), kHostLockedErr);
    EXPECT_TRUE(fs::is_directory(file_));

    // A later successful load lifts the protection.
    fs::remove(file_);
    EXPECT_TRUE(store.load(nullptr));
    EXPECT_EQ(store.putInteger("S", "K", 1), 0);
}

TEST_F(PreferenceStore, DefaultPathFollowsTheConfigDirectory) {
    ScopedEnvironment home("HOME", "/home/map");
    {
        ScopedEnvironment config("XDG_CONFIG_HOME", "/etc/xdg-user");
        EXPECT_EQ(Store::defaultPath(), "/etc/xdg-user/orbalis/preferences.json");
    }
    for (const char* ignored : {"relative/dir", "", static_cast<const char*>(nullptr)}) {
        ScopedEnvironment config("XDG_CONFIG_HOME", ignored);
        EXPECT_EQ(Store::defaultPath(), "/home/map/.config/orbalis/preferences.json");
    }
}

}  // namespace
}  // namespace orbalis::host::testing_prefs
