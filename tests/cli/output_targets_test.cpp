// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Where the program's outputs go: through symbolic links, FIFOs and devices
// without replacing them, to standard output for "-", and failures that say
// which file and why.
#include "tests/cli/cli_fixture.h"
#include "tests/cli/tiff_files.h"

#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using clitest::QuadrelCli;
using clitest::runQuadrel;
using clitest::runQuadrelWithStreams;

std::string slurp(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool isLink(const std::string& path) {
    return std::filesystem::is_symlink(std::filesystem::symlink_status(path));
}

TEST_F(QuadrelCli, SymbolicLinksAreFollowedAndStayLinks) {
    const std::string page = generatedPage();
    ASSERT_EQ(runQuadrel({"--xml", path("plain.xml"), page}).exitCode, 0);
    std::filesystem::create_directories(dir_ / "real");
    std::ofstream(path("real/zones.xml")) << "old";
    ::chmod(path("real/zones.xml").c_str(), 0640);
    std::filesystem::create_symlink("real/zones.xml", dir_ / "link.xml");
    std::filesystem::create_symlink("link.xml", dir_ / "link-of-link.xml");
    std::filesystem::create_symlink("real/new.xml", dir_ / "dangling.xml");

    for (const char* name : {"link.xml", "link-of-link.xml", "dangling.xml"}) {
        const clitest::RunResult r = runQuadrel({"--xml", path(name), page});
        EXPECT_EQ(r.exitCode, 0) << name << ": " << r.err;
        EXPECT_TRUE(isLink(path(name))) << name;
    }
    EXPECT_EQ(slurp(path("real/zones.xml")), slurp(path("plain.xml")));
    EXPECT_EQ(slurp(path("real/new.xml")), slurp(path("plain.xml")));
    EXPECT_EQ(std::filesystem::status(path("real/zones.xml")).permissions(),
              std::filesystem::perms(0640))
        << "the replaced file keeps its permissions";
    EXPECT_EQ(filesIn("real"), (std::set<std::string>{"new.xml", "zones.xml"})) << "no temporary";
}

// Copies what arrives on the FIFO into `copy`, in a child process: a reader
// thread could hold a lock of the allocator when the program is forked.
pid_t startCopying(const std::string& fifo, const std::string& copy) {
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    const int in = ::open(fifo.c_str(), O_RDONLY);
    const int out = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    char buffer[4096];
    for (ssize_t n; (n = ::read(in, buffer, sizeof buffer)) > 0;)
        if (::write(out, buffer, std::size_t(n)) != n) break;
    ::_exit(0);
}

TEST_F(QuadrelCli, FifoIsWrittenThroughAndStaysAFifo) {
    const std::string page = generatedPage();
    ASSERT_EQ(runQuadrel({"--xml", path("plain.xml"), page}).exitCode, 0);
    const std::string fifo = path("zones.fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const pid_t copier = startCopying(fifo, path("received.xml"));
    const clitest::RunResult r = runQuadrel({"--xml", fifo, page});
    // Should the program never open the FIFO, opening it here lets the copier finish.
    const int unblock = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (unblock >= 0) ::close(unblock);
    ::waitpid(copier, nullptr, 0);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(slurp(path("received.xml")), slurp(path("plain.xml")));
    struct stat status {};
    ASSERT_EQ(::stat(fifo.c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

TEST_F(QuadrelCli, AFullDeviceFailsTheRunNamingTheFileAndTheReason) {
    const std::string page = generatedPage();
    const clitest::RunResult xml = runQuadrel({"--quiet", "--xml", "/dev/full", page});
    EXPECT_EQ(xml.exitCode, 1);
    EXPECT_NE(xml.err.find("cannot write the XML file /dev/full: No space left on device"),
              std::string::npos)
        << xml.err;

    // The JSON document and the zone table alike.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--json", page}, {page}}) {
        const clitest::RunResult r = runQuadrelWithStreams(args, "", "/dev/full");
        EXPECT_EQ(r.exitCode, 1) << args[0];
        EXPECT_EQ(r.err, "quadrel: cannot write standard output: No space left on device\n")
            << args[0];
    }

    const clitest::RunResult missing = runQuadrel({"--xml", path("no/such/folder.xml"), page});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find(path("no/such/folder.xml") + ": No such file or directory"),
              std::string::npos)
        << missing.err;
}

TEST_F(QuadrelCli, DashWritesOneOutputToStandardOutput) {
    const std::string page = generatedPage();
    ASSERT_EQ(runQuadrel({"--xml", path("plain.xml"), page}).exitCode, 0);
    const clitest::RunResult xml = runQuadrel({"--xml", "-", page});
    EXPECT_EQ(xml.exitCode, 0) << xml.err;
    EXPECT_EQ(xml.out, slurp(path("plain.xml"))) << "the XML alone, no zone table";
    EXPECT_FALSE(std::filesystem::exists("-"));

    const clitest::RunResult outlined = runQuadrel({"--outlined", "-", page});
    EXPECT_EQ(outlined.exitCode, 0) << outlined.err;
    EXPECT_EQ(outlined.out.substr(0, 4), std::string("II*\0", 4));

    clitest::writeBilevelTiff(path("two.tif"),
                              {clitest::letterAndTablePage(), clitest::letterAndTablePage()});
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--json", "--xml", "-", page},
          {"--xml", "-", "--outlined", "-", page},
          {"--xml", "-", path("two.tif")},
          {"--xml", "-", page, path("two.tif")}}) {
        const clitest::RunResult r = runQuadrel(args);
        EXPECT_EQ(r.exitCode, 2) << args[1] << " " << args.back();
        EXPECT_TRUE(r.out.empty());
        EXPECT_NE(r.err.find("standard output"), std::string::npos) << r.err;
    }
    EXPECT_EQ(runQuadrel({"--xml", "-", "--page", "1", path("two.tif")}).exitCode, 0);
}

} // namespace
