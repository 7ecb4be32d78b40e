// A small HTTP server for tests: serves the files of a folder on 127.0.0.1 from Win32
// threads of the test program, and misbehaves on request, path by path.
//
// Start it in a fixture's SetUp and stop it in TearDown. Clear http_proxy and
// https_proxy first (ClearProxyEnvironment) so the clients talk to it directly.
#pragma once
#include <windows.h>
#include <map>
#include <string>
#include <vector>

struct HttpRule {
    int status = 200;                    // any other status sends a short error page
    enum class Length { Exact, Absent, Longer, Shorter } length = Length::Exact;
    long long lengthDelta = 0;           // how far Longer/Shorter lie
    long long cutAfter = -1;             // close the connection after this many body bytes
    size_t chunkBytes = 64 * 1024;       // bytes per send
    DWORD chunkDelayMs = 0;              // pause after each send (a slow body)
    bool chunked = false;                // chunked transfer encoding, no length
    DWORD holdMs = 0;                    // wait this long before answering at all
};

class TestHttpServer {
public:
    // folder: a Windows path; a request for /a/b.txt serves folder\a\b.txt.
    explicit TestHttpServer(const std::u16string& folder);
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    bool Start();
    // Closes the listening socket, breaks open connections and joins every thread,
    // waiting at most timeoutMs in all. Returns whether all threads ended.
    bool Stop(DWORD timeoutMs = 5000);

    unsigned short Port() const { return m_port; }
    std::string BaseUrl() const;         // "http://127.0.0.1:<port>/"

    void SetRule(const std::string& path, const HttpRule& rule);
    void ClearRules();
    int Requests(const std::string& path) const;
    // Bytes of body sent for a path, summed over its requests.
    long long BodyBytesSent(const std::string& path) const;

private:
    struct Connection;
    static DWORD WINAPI AcceptProc(void* self);
    static DWORD WINAPI ConnectionProc(void* param);
    void Serve(UINT_PTR sock);
    bool Pause(DWORD ms) const;          // false when stopping
    HttpRule RuleFor(const std::string& path) const;

    std::u16string m_folder;
    UINT_PTR m_listen;
    unsigned short m_port = 0;
    HANDLE m_stop = nullptr;
    HANDLE m_acceptThread = nullptr;
    mutable CRITICAL_SECTION m_lock;
    std::map<std::string, HttpRule> m_rules;
    std::map<std::string, int> m_requests;
    std::map<std::string, long long> m_sent;
    std::vector<HANDLE> m_threads;
    std::vector<UINT_PTR> m_sockets;
};

// Unsets http_proxy and https_proxy (both spellings) for this process.
void ClearProxyEnvironment();
