// winsock2.h comes first and brings the platform's min and max macros unless told not to.
#define NOMINMAX
#include <winsock2.h>
#include "support/TestHttpServer.h"
#include <stdlib.h>
#include <algorithm>

// The socket functions are looked up at run time: an import library for them would
// also capture the C library's functions of the same names that GoogleTest calls.
namespace ws {
#define WS_FUNCTIONS(X) \
    X(WSAStartup) X(WSACleanup) X(socket) X(bind) X(listen) X(getsockname) X(accept) X(select) \
    X(recv) X(send) X(shutdown) X(closesocket) X(setsockopt)
#define WS_DECLARE(name) static decltype(&::name) name;
WS_FUNCTIONS(WS_DECLARE)
#undef WS_DECLARE

static bool Load()
{
    HMODULE h = LoadLibraryW(L"ws2_32.dll");
    if (!h)
        return false;
    bool ok = true;
#define WS_LOAD(name) ok &= (name = reinterpret_cast<decltype(name)>(GetProcAddress(h, #name))) != nullptr;
    WS_FUNCTIONS(WS_LOAD)
#undef WS_LOAD
    return ok;
}
}  // namespace ws

namespace {

struct Lock {
    explicit Lock(CRITICAL_SECTION& cs) : m_cs(cs) { EnterCriticalSection(&m_cs); }
    ~Lock() { LeaveCriticalSection(&m_cs); }
    CRITICAL_SECTION& m_cs;
};

bool SendAll(SOCKET s, const char* p, size_t n)
{
    while (n > 0) {
        int put = ws::send(s, p, (int)std::min<size_t>(n, 1 << 20), 0);
        if (put <= 0)
            return false;
        p += put;
        n -= put;
    }
    return true;
}

bool SendText(SOCKET s, const std::string& text) { return SendAll(s, text.data(), text.size()); }

std::string ReasonFor(int status)
{
    switch (status) {
    case 200: return "OK";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

}  // namespace

struct TestHttpServer::Connection {
    TestHttpServer* server;
    SOCKET sock;
};

TestHttpServer::TestHttpServer(const std::u16string& folder) : m_folder(folder), m_listen(INVALID_SOCKET)
{
    InitializeCriticalSection(&m_lock);
    if (!m_folder.empty() && m_folder.back() == u'\\')
        m_folder.pop_back();
}

TestHttpServer::~TestHttpServer()
{
    Stop();
    DeleteCriticalSection(&m_lock);
}

bool TestHttpServer::Start()
{
    if (!ws::Load())
        return false;
    WSADATA wsa;
    if (ws::WSAStartup(MAKEWORD(2, 2), &wsa) != 0)
        return false;
    SOCKET s = ws::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return false;
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = (u_long)0x0100007F;
    addr.sin_port = 0;
    int len = sizeof(addr);
    if (ws::bind(s, (sockaddr*)&addr, sizeof(addr)) != 0 || ws::listen(s, 16) != 0 ||
        ws::getsockname(s, (sockaddr*)&addr, &len) != 0) {
        ws::closesocket(s);
        return false;
    }
    m_listen = s;
    m_port = (unsigned short)(((addr.sin_port & 0xFF) << 8) | (addr.sin_port >> 8));
    m_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_acceptThread = CreateThread(nullptr, 0, AcceptProc, this, 0, nullptr);
    return m_acceptThread != nullptr;
}

bool TestHttpServer::Stop(DWORD timeoutMs)
{
    if (!m_stop)
        return true;
    const DWORD start = GetTickCount();
    auto left = [&] {
        DWORD spent = GetTickCount() - start;
        return spent >= timeoutMs ? 0 : timeoutMs - spent;
    };
    SetEvent(m_stop);
    bool all = true;
    if (m_acceptThread) {
        all &= WaitForSingleObject(m_acceptThread, left()) == WAIT_OBJECT_0;
        CloseHandle(m_acceptThread);
        m_acceptThread = nullptr;
    }
    if (m_listen != INVALID_SOCKET) {
        ws::closesocket(m_listen);
        m_listen = INVALID_SOCKET;
    }
    std::vector<HANDLE> threads;
    {
        Lock l(m_lock);
        // Wakes connection threads blocked in a send or receive.
        for (SOCKET s : m_sockets)
            ws::shutdown(s, SD_BOTH);
        threads.swap(m_threads);
    }
    for (HANDLE h : threads) {
        all &= WaitForSingleObject(h, left()) == WAIT_OBJECT_0;
        CloseHandle(h);
    }
    CloseHandle(m_stop);
    m_stop = nullptr;
    ws::WSACleanup();
    return all;
}

std::string TestHttpServer::BaseUrl() const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + "/";
}

void TestHttpServer::SetRule(const std::string& path, const HttpRule& rule)
{
    Lock l(m_lock);
    m_rules[path] = rule;
}

void TestHttpServer::ClearRules()
{
    Lock l(m_lock);
    m_rules.clear();
}

int TestHttpServer::Requests(const std::string& path) const
{
    Lock l(m_lock);
    auto it = m_requests.find(path);
    return it == m_requests.end() ? 0 : it->second;
}

long long TestHttpServer::BodyBytesSent(const std::string& path) const
{
    Lock l(m_lock);
    auto it = m_sent.find(path);
    return it == m_sent.end() ? 0 : it->second;
}

HttpRule TestHttpServer::RuleFor(const std::string& path) const
{
    Lock l(m_lock);
    auto it = m_rules.find(path);
    return it == m_rules.end() ? HttpRule() : it->second;
}

bool TestHttpServer::Pause(DWORD ms) const
{
    return ms == 0 || WaitForSingleObject(m_stop, ms) == WAIT_TIMEOUT;
}

DWORD WINAPI TestHttpServer::AcceptProc(void* self)
{
    auto* server = static_cast<TestHttpServer*>(self);
    while (WaitForSingleObject(server->m_stop, 0) == WAIT_TIMEOUT) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(server->m_listen, &set);
        timeval tv = { 0, 50 * 1000 };
        if (ws::select(0, &set, nullptr, nullptr, &tv) <= 0)
            continue;
        SOCKET c = ws::accept(server->m_listen, nullptr, nullptr);
        if (c == INVALID_SOCKET)
            continue;
        auto* conn = new Connection{ server, c };
        Lock l(server->m_lock);
        HANDLE h = CreateThread(nullptr, 0, ConnectionProc, conn, 0, nullptr);
        if (!h) {
            ws::closesocket(c);
            delete conn;
            continue;
        }
        server->m_threads.push_back(h);
        server->m_sockets.push_back(c);
    }
    return 0;
}

DWORD WINAPI TestHttpServer::ConnectionProc(void* param)
{
    auto* conn = static_cast<Connection*>(param);
    conn->server->Serve(conn->sock);
    {
        Lock l(conn->server->m_lock);
        auto& v = conn->server->m_sockets;
        v.erase(std::remove(v.begin(), v.end(), conn->sock), v.end());
    }
    ws::closesocket(conn->sock);
    delete conn;
    return 0;
}

void TestHttpServer::Serve(UINT_PTR sockValue)
{
    SOCKET s = sockValue;
    DWORD timeout = 10000;
    ws::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, (const char*)&timeout, sizeof(timeout));
    std::string request;
    char buf[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        int got = ws::recv(s, buf, sizeof(buf), 0);
        if (got <= 0)
            return;
        request.append(buf, got);
    }
    // "GET /path HTTP/1.1"
    size_t sp1 = request.find(' '), sp2 = request.find(' ', sp1 + 1);
    if (sp1 == std::string::npos || sp2 == std::string::npos)
        return;
    std::string path = request.substr(sp1 + 1, sp2 - sp1 - 1);
    path = path.substr(0, path.find('?'));
    {
        Lock l(m_lock);
        m_requests[path]++;
    }
    const HttpRule rule = RuleFor(path);
    if (!Pause(rule.holdMs))
        return;

    HANDLE file = INVALID_HANDLE_VALUE;
    int status = rule.status;
    if (status == 200 && path.find("..") == std::string::npos) {
        std::u16string full = m_folder;
        for (char c : path)
            full += c == '/' ? u'\\' : (char16_t)(unsigned char)c;
        file = CreateFileW(reinterpret_cast<LPCWSTR>(full.c_str()), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            status = 404;
    } else if (status == 200) {
        status = 404;
    }
    std::string errorPage;
    long long size = 0;
    if (file != INVALID_HANDLE_VALUE) {
        LARGE_INTEGER li;
        GetFileSizeEx(file, &li);
        size = li.QuadPart;
    } else {
        errorPage = "<html><body><h1>" + std::to_string(status) + " " + ReasonFor(status) + "</h1></body></html>\n";
        size = (long long)errorPage.size();
    }

    std::string head = "HTTP/1.1 " + std::to_string(status) + " " + ReasonFor(status) + "\r\n";
    head += file != INVALID_HANDLE_VALUE ? "Content-Type: application/octet-stream\r\n" : "Content-Type: text/html\r\n";
    head += "Connection: close\r\n";
    if (rule.chunked) {
        head += "Transfer-Encoding: chunked\r\n";
    } else if (rule.length != HttpRule::Length::Absent) {
        long long announced = size;
        if (rule.length == HttpRule::Length::Longer)
            announced += rule.lengthDelta;
        if (rule.length == HttpRule::Length::Shorter)
            announced -= rule.lengthDelta;
        head += "Content-Length: " + std::to_string(announced) + "\r\n";
    }
    head += "\r\n";
    bool ok = SendText(s, head);

    std::vector<char> block(std::max<size_t>(rule.chunkBytes, 1));
    long long sent = 0;
    while (ok && sent < size && (rule.cutAfter < 0 || sent < rule.cutAfter)) {
        long long want = std::min<long long>((long long)block.size(), size - sent);
        if (rule.cutAfter >= 0)
            want = std::min(want, rule.cutAfter - sent);
        DWORD got = 0;
        if (file != INVALID_HANDLE_VALUE) {
            if (!ReadFile(file, block.data(), (DWORD)want, &got, nullptr) || got == 0)
                break;
        } else {
            got = (DWORD)want;
            memcpy(block.data(), errorPage.data() + sent, got);
        }
        if (rule.chunked) {
            char size16[32];
            wsprintfA(size16, "%lx\r\n", (unsigned long)got);
            ok = SendText(s, size16) && SendAll(s, block.data(), got) && SendText(s, "\r\n");
        } else {
            ok = SendAll(s, block.data(), got);
        }
        if (ok) {
            sent += got;
            Lock l(m_lock);
            m_sent[path] += got;
        }
        ok = ok && Pause(rule.chunkDelayMs);
    }
    if (ok && rule.chunked && rule.cutAfter < 0)
        SendText(s, "0\r\n\r\n");
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    // Lets the client read everything before the connection goes.
    ws::shutdown(s, SD_SEND);
    DWORD linger = 2000;
    ws::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, (const char*)&linger, sizeof(linger));
    while (ws::recv(s, buf, sizeof(buf), 0) > 0) {
    }
}

void ClearProxyEnvironment()
{
    static const char* const kNames[] = { "http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY" };
    for (const char* name : kNames) {
        SetEnvironmentVariableA(name, nullptr);
        unsetenv(name);
    }
}
