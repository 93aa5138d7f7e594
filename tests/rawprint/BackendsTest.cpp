// The three real backends, as far as each can be driven without a printer: the spool folder
// fully, the device file through regular files and FIFOs, CUPS through servers that are not
// there or do not answer.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "common/AtomicFile.h"
#include "printing/raw/CupsBackend.h"
#include "printing/raw/DeviceFileBackend.h"
#include "printing/raw/RawPrintJob.h"
#include "printing/raw/SpoolFolderBackend.h"
#include "support/TempDir.h"

namespace miradel {
namespace {

using ::testing::HasSubstr;

std::string FileBytes(const std::filesystem::path& path) {
    const auto bytes = ReadWholeFile(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<missing>");
}

RawJob JobOf(std::vector<std::string> lines) {
    RawJob job;
    job.lines = std::move(lines);
    return job;
}

std::vector<std::string> Names(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(SpoolFolder, EachJobIsAFileAndTheNamesSortInJobOrderAcrossRestarts) {
    testing::TempDir dir;
    {
        SpoolFolderBackend spool(dir / "spool");
        ASSERT_TRUE(RunPrintJob(spool, JobOf({"first"})).ok);
        ASSERT_TRUE(RunPrintJob(spool, JobOf({"second"})).ok);
    }
    SpoolFolderBackend again(dir / "spool");
    ASSERT_TRUE(RunPrintJob(again, JobOf({"third"})).ok);
    EXPECT_EQ(
        Names(dir / "spool"),
        (std::vector<std::string>{"job-00000001.prn", "job-00000002.prn", "job-00000003.prn"}));
    EXPECT_EQ(FileBytes(again.JobFile(2)), std::string("second\n\r\0", 9));
    EXPECT_EQ(FileBytes(again.JobFile(3)), std::string("third\n\r\0", 8));
}

TEST(SpoolFolder, NumbersGoOnAfterTheHighestJobAndOtherFilesAreLeftAlone) {
    testing::TempDir dir;
    std::filesystem::create_directory(dir / "spool");
    ASSERT_TRUE(AppendToFile(dir / "spool" / "job-00000041.prn", "old"));
    ASSERT_TRUE(AppendToFile(dir / "spool" / "job-0000099.prn", "not ours"));
    ASSERT_TRUE(AppendToFile(dir / "spool" / "readme.txt", "x"));
    SpoolFolderBackend spool(dir / "spool");
    ASSERT_TRUE(RunPrintJob(spool, JobOf({"new"})).ok);
    EXPECT_EQ(FileBytes(spool.JobFile(42)), std::string("new\n\r\0", 6));
    EXPECT_EQ(FileBytes(dir / "spool" / "job-00000041.prn"), "old");
}

TEST(SpoolFolder, AFolderThatCannotBeWrittenFailsTheJobWithItsName) {
    testing::TempDir dir;
    ASSERT_TRUE(AppendToFile(dir / "plain-file", "x"));
    for (const std::filesystem::path& folder : {dir / "plain-file", dir / "plain-file" / "sub"}) {
        SpoolFolderBackend spool(folder);
        const PrintOutcome outcome = RunPrintJob(spool, JobOf({"line"}));
        EXPECT_FALSE(outcome.ok);
        EXPECT_THAT(outcome.error, HasSubstr(folder.string()));
    }
    SpoolFolderBackend none{std::filesystem::path()};
    EXPECT_EQ(RunPrintJob(none, JobOf({"x"})).error, "No spool folder is set in printer.cfg");
}

TEST(DeviceFile, ARegularFileReceivesTheJobsOneAfterTheOther) {
    testing::TempDir dir;
    ASSERT_TRUE(AppendToFile(dir / "lp0", ""));
    DeviceFileBackend device(dir / "lp0", 1000);
    EXPECT_EQ(device.CurrentPrinter().name, "lp0");
    ASSERT_TRUE(RunPrintJob(device, JobOf({"A"})).ok);
    ASSERT_TRUE(RunPrintJob(device, JobOf({"B"})).ok);
    EXPECT_EQ(FileBytes(dir / "lp0"), std::string("A\n\r\0B\n\r\0", 8));
}

TEST(DeviceFile, AMissingDeviceIsReportedAndNotCreated) {
    testing::TempDir dir;
    DeviceFileBackend device(dir / "usb" / "lp0", 1000);
    const PrintOutcome outcome = RunPrintJob(device, JobOf({"A"}));
    EXPECT_FALSE(outcome.ok);
    EXPECT_THAT(outcome.error, HasSubstr("does not exist"));
    EXPECT_FALSE(std::filesystem::exists(dir / "usb" / "lp0"));

    DeviceFileBackend none{std::filesystem::path(), 1000};
    EXPECT_EQ(RunPrintJob(none, JobOf({"A"})).error, "No printer device is set in printer.cfg");
}

class Fifo : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }
    void TearDown() override {
        if (reader >= 0) {
            ::close(reader);
        }
    }
    void OpenReader() { reader = ::open(path.c_str(), O_RDONLY | O_NONBLOCK); }

    testing::TempDir dir;
    std::filesystem::path path = dir / "lp-fifo";
    int reader = -1;
};

TEST_F(Fifo, NoReaderMeansNoPrinter) {
    DeviceFileBackend device(path, 1000);
    const PrintOutcome outcome = RunPrintJob(device, JobOf({"A"}));
    EXPECT_FALSE(outcome.ok);
    EXPECT_THAT(outcome.error, HasSubstr("Nothing reads from"));
}

TEST_F(Fifo, AReaderGetsTheBytes) {
    OpenReader();
    ASSERT_GE(reader, 0);
    DeviceFileBackend device(path, 1000);
    ASSERT_TRUE(RunPrintJob(device, JobOf({"Hi", "\r\n"})).ok);
    char buffer[64];
    const ssize_t n = ::read(reader, buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0),
              std::string("Hi\n\r\0\r\n\n\r\0", 10));
}

TEST_F(Fifo, APrinterThatStopsTakingDataEndsTheJobInsteadOfHanging) {
    OpenReader();  // opened, never read: like a printer out of paper
    ASSERT_GE(reader, 0);
    DeviceFileBackend device(path, 200);
    const PrintOutcome outcome = RunPrintJob(device, JobOf({std::string(1 << 20, 'x')}));
    EXPECT_FALSE(outcome.ok);
    EXPECT_THAT(outcome.error, HasSubstr("takes no data"));
    EXPECT_FALSE(device.JobOpen());
}

TEST_F(Fifo, AReaderThatGoesAwayIsAnErrorNotASignal) {
    OpenReader();
    ASSERT_GE(reader, 0);
    DeviceFileBackend device(path, 1000);
    ASSERT_TRUE(device.StartJob("lp-fifo", "t").Ok());
    ::close(reader);
    reader = -1;
    const WriteOutcome outcome = device.WriteBytes("lost");
    EXPECT_THAT(outcome.error, HasSubstr("any more"));
    EXPECT_TRUE(device.EndJob().Ok());
}

// A TCP port that accepts connections and never answers, like a hung print server.
class SilentServer {
  public:
    SilentServer() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::listen(fd_, 4);
        socklen_t len = sizeof addr;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
    }
    ~SilentServer() { ::close(fd_); }
    int Port() const { return port_; }

  private:
    int fd_ = -1;
    int port_ = 0;
};

// A loopback port nothing listens on.
int ClosedPort() {
    const int port = SilentServer().Port();
    return port;
}

TEST(Cups, AServerThatIsNotThereFailsTheJobAtOnce) {
    testing::TempDir dir;
    const std::string socketPath = (dir / "no-cupsd.sock").string();
    const std::string refused = "127.0.0.1:" + std::to_string(ClosedPort());
    for (const std::string& queue : {std::string(), std::string("Receipts")}) {
        for (const std::string& server : {socketPath, refused}) {
            CupsBackend cups({queue, server, 2000});
            const PrintOutcome outcome = RunPrintJob(cups, JobOf({"A"}));
            EXPECT_FALSE(outcome.ok);
            EXPECT_THAT(outcome.error, HasSubstr("cannot be reached")) << server;
            EXPECT_FALSE(cups.JobOpen());
        }
    }
}

TEST(Cups, AServerThatNeverAnswersEndsInAnErrorNotAHang) {
    SilentServer silent;
    CupsBackend cups({"", "127.0.0.1:" + std::to_string(silent.Port()), 1000});
    const PrintOutcome outcome = RunPrintJob(cups, JobOf({"A"}));
    EXPECT_FALSE(outcome.ok);
    EXPECT_THAT(outcome.error, HasSubstr("does not answer"));
    CupsBackend named({"Receipts", "127.0.0.1:" + std::to_string(silent.Port()), 1000});
    EXPECT_THAT(RunPrintJob(named, JobOf({"A"})).error, HasSubstr("does not answer"));
}

TEST(Cups, ANamedQueueIsTheCurrentPrinterWithoutAskingTheServer) {
    CupsBackend cups({"Receipts", "/nonexistent/cups.sock", 1000});
    const PrinterLookup lookup = cups.CurrentPrinter();
    EXPECT_EQ(lookup.name, "Receipts");
    EXPECT_TRUE(lookup.error.empty());
}

}  // namespace
}  // namespace miradel
