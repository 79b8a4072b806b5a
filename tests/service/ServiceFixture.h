#pragma once
// A fresh data folder, and optionally the service running on it over loopback.
#include "service/router/Service.h"
#include "service/store/Store.h"

#include <httplib.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

class TempDir
{
public:
    TempDir()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tovela-svc-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path &path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Every regular file below root, as paths relative to it.
inline std::vector<std::string> filesBelow(const std::filesystem::path &root)
{
    std::vector<std::string> out;
    for (const auto &e : std::filesystem::recursive_directory_iterator(root))
        if (e.is_regular_file())
            out.push_back(std::filesystem::relative(e.path(), root).string());
    std::sort(out.begin(), out.end());
    return out;
}

class ServiceTest : public ::testing::Test
{
protected:
    void startService(service::ServiceOptions options)
    {
        // The data folder sits one level down so a path escaping it would land in root.
        store = std::make_unique<service::Store>(root.path() / "data");
        server = std::make_unique<service::Service>(*store, options);
        port = server->bind("127.0.0.1", 0);
        ASSERT_GT(port, 0);
        thread = std::thread([this] { server->listen(); });
        client = std::make_unique<httplib::Client>("127.0.0.1", port);
        client->set_read_timeout(20, 0);
    }
    void SetUp() override { startService(options()); }
    virtual service::ServiceOptions options() { return {3, true}; }
    void TearDown() override
    {
        if (server)
            server->stop();
        if (thread.joinable())
            thread.join();
    }

    // The text of a reply, or "<status N>" / "<no reply>" when there is none to read.
    std::string get(const std::string &target, httplib::Headers headers = {})
    {
        auto r = client->Get(target.c_str(), headers);
        if (!r)
            return "<no reply>";
        lastStatus = r->status;
        lastHeaders = r->headers;
        return r->body;
    }
    std::string newSession() { return get("/wis/wi_login.php?mode=cookie_get"); }
    std::string loggedInSession()
    {
        std::string sid = newSession();
        EXPECT_EQ(get("/wis/wi_login.php/" + sid + "?email=demo@tovela.example&passwd=demo1234"),
                  "OK");
        return sid;
    }
    std::string upload(const std::string &sid, const std::string &filename,
                       const std::string &content)
    {
        httplib::MultipartFormDataItems items = {{"mode", "upload", "", ""},
                                                 {"file1", content, filename, "image/jpeg"}};
        auto r = client->Post(("/wis/wi_upload.php/" + sid).c_str(), items);
        if (!r)
            return "<no reply>";
        lastStatus = r->status;
        return r->body;
    }

    TempDir root;
    std::unique_ptr<service::Store> store;
    std::unique_ptr<service::Service> server;
    std::unique_ptr<httplib::Client> client;
    std::thread thread;
    int port = 0;
    int lastStatus = 0;
    httplib::Headers lastHeaders;
};
