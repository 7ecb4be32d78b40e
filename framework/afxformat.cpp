// CString::Format.  The platform's wide printf family is not usable here (the C
// library's wide characters are 32 bits), so the framework parses the format itself
// and lets the narrow snprintf render numbers, which are plain ASCII.
#include "afx.h"
#include <stdio.h>
#include <string.h>

namespace {

enum SizeMod { SZ_DEFAULT, SZ_SHORT, SZ_CHAR, SZ_LONG, SZ_LONGLONG, SZ_PTR, SZ_WIDE };

void AppendW(CString& out, LPCWSTR p, int n) { if (n > 0) out += CString(p, n); }

void AppendAscii(CString& out, const char* p)
{
    WCHAR buf[128];
    int n = 0;
    while (*p) {
        buf[n++] = (WCHAR)(unsigned char)*p++;
        if (n == 127) { AppendW(out, buf, n); n = 0; }
    }
    AppendW(out, buf, n);
}

void AppendPadded(CString& out, LPCWSTR p, int n, int width, bool left)
{
    int pad = width > n ? width - n : 0;
    if (!left) out += CString(L' ', pad);
    AppendW(out, p, n);
    if (left) out += CString(L' ', pad);
}

} // namespace

void CString::FormatV(LPCWSTR lpszFormat, va_list argList)
{
    CString out;
    if (lpszFormat == NULL) { *this = out; return; }
    out.GetBuffer(lstrlenW(lpszFormat) + 32);
    out.ReleaseBuffer(0);

    va_list args;
    va_copy(args, argList);
    for (LPCWSTR p = lpszFormat; *p; ) {
        if (*p != '%') {
            LPCWSTR start = p;
            while (*p && *p != '%') p++;
            AppendW(out, start, (int)(p - start));
            continue;
        }
        LPCWSTR convStart = p++;
        if (*p == '%') { out += L'%'; p++; continue; }

        char flags[8];
        int nFlags = 0;
        while (*p == '-' || *p == '+' || *p == ' ' || *p == '#' || *p == '0') {
            if (nFlags < 7) flags[nFlags++] = (char)*p;
            p++;
        }
        flags[nFlags] = 0;
        bool left = strchr(flags, '-') != NULL;

        int width = -1;
        if (*p == '*') {
            width = va_arg(args, int);
            if (width < 0) { left = true; width = -width; if (nFlags < 7) { flags[nFlags++] = '-'; flags[nFlags] = 0; } }
            p++;
        } else if (*p >= '0' && *p <= '9') {
            width = 0;
            while (*p >= '0' && *p <= '9') width = width * 10 + (*p++ - '0');
        }
        int prec = -1;
        if (*p == '.') {
            p++;
            prec = 0;
            if (*p == '*') { prec = va_arg(args, int); p++; }
            else while (*p >= '0' && *p <= '9') prec = prec * 10 + (*p++ - '0');
        }

        SizeMod size = SZ_DEFAULT;
        if (p[0] == 'I' && p[1] == '6' && p[2] == '4') { size = SZ_LONGLONG; p += 3; }
        else if (p[0] == 'I' && p[1] == '3' && p[2] == '2') { size = SZ_DEFAULT; p += 3; }
        else if (p[0] == 'I') { size = SZ_PTR; p++; }
        else if (p[0] == 'l' && p[1] == 'l') { size = SZ_LONGLONG; p += 2; }
        else if (p[0] == 'h' && p[1] == 'h') { size = SZ_CHAR; p += 2; }
        else if (p[0] == 'l') { size = SZ_LONG; p++; }
        else if (p[0] == 'h') { size = SZ_SHORT; p++; }
        else if (p[0] == 'w') { size = SZ_WIDE; p++; }
        else if (p[0] == 'L' || p[0] == 'z' || p[0] == 't' || p[0] == 'j') {
            size = (p[0] == 'L') ? SZ_DEFAULT : SZ_PTR;
            p++;
        }

        if (width > 480) width = 480;   // numbers render into a fixed buffer
        WCHAR conv = *p;
        if (conv == 0) { AppendW(out, convStart, (int)(p - convStart)); break; }
        p++;

        char narrowFmt[48];
        char num[512];
        switch (conv) {
        case 'd': case 'i': {
            long long v;
            if (size == SZ_LONGLONG || size == SZ_PTR) v = va_arg(args, long long);
            else if (size == SZ_SHORT) v = (short)va_arg(args, int);
            else if (size == SZ_CHAR) v = (signed char)va_arg(args, int);
            else v = va_arg(args, int);   // %ld is 32-bit on the platform
            {
                int n = snprintf(narrowFmt, sizeof narrowFmt, "%%%s", flags);
                if (width >= 0) n += snprintf(narrowFmt + n, sizeof narrowFmt - n, "%d", width);
                if (prec >= 0) n += snprintf(narrowFmt + n, sizeof narrowFmt - n, ".%d", prec);
                snprintf(narrowFmt + n, sizeof narrowFmt - n, "lld");
            }
            snprintf(num, sizeof num, narrowFmt, v);
            AppendAscii(out, num);
            break;
        }
        case 'u': case 'x': case 'X': case 'o': {
            unsigned long long v;
            if (size == SZ_LONGLONG || size == SZ_PTR) v = va_arg(args, unsigned long long);
            else if (size == SZ_SHORT) v = (unsigned short)va_arg(args, unsigned);
            else if (size == SZ_CHAR) v = (unsigned char)va_arg(args, unsigned);
            else v = va_arg(args, unsigned);
            int n = snprintf(narrowFmt, sizeof narrowFmt, "%%%s", flags);
            if (width >= 0) n += snprintf(narrowFmt + n, sizeof narrowFmt - n, "%d", width);
            if (prec >= 0) n += snprintf(narrowFmt + n, sizeof narrowFmt - n, ".%d", prec);
            snprintf(narrowFmt + n, sizeof narrowFmt - n, "ll%c", (char)conv);
            snprintf(num, sizeof num, narrowFmt, v);
            AppendAscii(out, num);
            break;
        }
        case 'f': case 'F': case 'e': case 'E': case 'g': case 'G': case 'a': case 'A': {
            double v = va_arg(args, double);
            if (prec > 300) prec = 300;
            int n = snprintf(narrowFmt, sizeof narrowFmt, "%%%s", flags);
            if (width >= 0) n += snprintf(narrowFmt + n, sizeof narrowFmt - n, "%d", width > 400 ? 400 : width);
            if (prec >= 0) n += snprintf(narrowFmt + n, sizeof narrowFmt - n, ".%d", prec);
            snprintf(narrowFmt + n, sizeof narrowFmt - n, "%c", (char)conv);
            // Very large magnitudes with %f need more room than the fixed buffer.
            int need = snprintf(NULL, 0, narrowFmt, v);
            if (need < (int)sizeof num) {
                snprintf(num, sizeof num, narrowFmt, v);
                AppendAscii(out, num);
            } else {
                char* big = new char[need + 1];
                snprintf(big, need + 1, narrowFmt, v);
                AppendAscii(out, big);
                delete[] big;
            }
            break;
        }
        case 'p': {
            void* v = va_arg(args, void*);
            snprintf(num, sizeof num, "%016llX", (unsigned long long)(ULONG_PTR)v);
            AppendPadded(out, CString(num), 16, width, left);
            break;
        }
        case 'c': case 'C': {
            WCHAR ch;
            int v = va_arg(args, int);
            bool ansi = (conv == 'C' && size != SZ_LONG && size != SZ_WIDE) || size == SZ_SHORT;
            if (ansi) {
                char c = (char)v;
                MultiByteToWideChar(CP_ACP, 0, &c, 1, &ch, 1);
            } else {
                ch = (WCHAR)v;
            }
            AppendPadded(out, &ch, 1, width, left);
            break;
        }
        case 's': case 'S': {
            bool ansi = (conv == 'S' && size != SZ_LONG && size != SZ_WIDE) || size == SZ_SHORT;
            if (ansi) {
                const char* s = va_arg(args, const char*);
                CString w(s ? s : "(null)");
                int n = w.GetLength();
                if (prec >= 0 && prec < n) n = prec;
                AppendPadded(out, w, n, width, left);
            } else {
                LPCWSTR s = va_arg(args, LPCWSTR);
                if (s == NULL) s = L"(null)";
                int n = 0;
                while (s[n] && (prec < 0 || n < prec)) n++;
                AppendPadded(out, s, n, width, left);
            }
            break;
        }
        case 'n':
            (void)va_arg(args, void*);   // writing through %n is never honoured
            break;
        default:
            AppendW(out, convStart, (int)(p - convStart));
            break;
        }
    }
    va_end(args);
    *this = std::move(out);
}

void CString::Format(LPCWSTR lpszFormat, ...)
{
    va_list args;
    va_start(args, lpszFormat);
    FormatV(lpszFormat, args);
    va_end(args);
}

void CString::Format(UINT nFormatID, ...)
{
    CString strFormat;
    strFormat.LoadString(nFormatID);
    va_list args;
    va_start(args, nFormatID);
    FormatV(strFormat, args);
    va_end(args);
}
