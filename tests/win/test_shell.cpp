// The few shell commands the tests run through system(), for a Windows
// build of the tests (whose system() would hand them to cmd.exe): sequences
// with && and ;, pipes, > and 2> redirections (2>&1, /dev/null), quotes,
// "$(...)", VAR=value before a command, and the commands rm -rf, mkdir -p,
// cp, cat, printf, echo, head -c, ls -A/-a, grep [-c], test -z/-n, cd,
// exit and true/false. Any other command is a program, started with CreateProcessW.
#ifdef _WIN32

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::wstring widen(const std::string& s) {
  if (s.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), nullptr, 0);
  std::wstring w(size_t(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), &w[0], n);
  return w;
}

fs::path u8(const std::string& s) { return fs::u8path(s); }

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

int run_line(const std::string& line, const std::string& in, std::string* out);

struct Cmd {
  std::vector<std::string> env;  // NAME=value
  std::vector<std::string> args;
  std::string out_file, err_file;
  bool append = false;
  bool err_to_out = false;
};

// Words and operators of one command line. Quotes keep their content as
// one word; "$(...)" is replaced by the output of its command.
bool tokenize(const std::string& s, std::vector<std::string>* toks, std::vector<bool>* ops) {
  size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    if (c == ' ' || c == '\t' || c == '\n') {
      ++i;
      continue;
    }
    auto op = [&](const std::string& o) {
      toks->push_back(o);
      ops->push_back(true);
      i += o.size();
    };
    if (s.compare(i, 2, "&&") == 0) { op("&&"); continue; }
    if (s.compare(i, 4, "2>&1") == 0) { op("2>&1"); continue; }
    if (s.compare(i, 2, "2>") == 0) { op("2>"); continue; }
    if (s.compare(i, 2, ">>") == 0) { op(">>"); continue; }
    if (c == '>' || c == '|' || c == ';') { op(std::string(1, c)); continue; }
    std::string word;
    // "$(command)": its output without the final line ends.
    auto substitute = [&]() {
      int depth = 1;
      size_t j = i + 2;
      for (; j < s.size() && depth; ++j) depth += s[j] == '(' ? 1 : s[j] == ')' ? -1 : 0;
      std::string sub;
      run_line(s.substr(i + 2, j - i - 3), std::string(), &sub);
      while (!sub.empty() && sub.back() == '\n') sub.pop_back();
      word += sub;
      i = j;
    };
    while (i < s.size() && s[i] != ' ' && s[i] != '\t' && s[i] != '\n' && s[i] != '>' && s[i] != '|' &&
           s[i] != ';' && s.compare(i, 2, "&&") != 0) {
      if (s[i] == '\'') {
        const size_t end = s.find('\'', i + 1);
        if (end == std::string::npos) return false;
        word += s.substr(i + 1, end - i - 1);
        i = end + 1;
      } else if (s[i] == '"') {
        ++i;
        while (i < s.size() && s[i] != '"') {
          if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == '"' || s[i + 1] == '\\' || s[i + 1] == '$')) {
            word += s[i + 1];
            i += 2;
          } else if (s.compare(i, 2, "$(") == 0) {
            substitute();
          } else {
            word += s[i++];
          }
        }
        if (i >= s.size()) return false;
        ++i;
      } else if (s.compare(i, 2, "$(") == 0) {
        substitute();
      } else if (s[i] == '\\' && i + 1 < s.size()) {
        word += s[i + 1];
        i += 2;
      } else {
        word += s[i++];
      }
    }
    toks->push_back(word);
    ops->push_back(false);
  }
  return true;
}

// printf's escapes in its format (the tests use no conversions).
std::string unescape(const std::string& s) {
  std::string r;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      const char n = s[++i];
      r += n == 'n' ? '\n' : n == 't' ? '\t' : n == '0' ? '\0' : n;
    } else {
      r += s[i];
    }
  }
  return r;
}

std::string quote_arg(const std::string& a) {
  if (!a.empty() && a.find_first_of(" \t\"") == std::string::npos) return a;
  std::string r = "\"";
  size_t slashes = 0;
  for (char c : a) {
    if (c == '\\') {
      ++slashes;
    } else if (c == '"') {
      r.append(slashes + 1, '\\');
      slashes = 0;
    } else {
      slashes = 0;
    }
    r += c;
  }
  r.append(slashes, '\\');
  return r + "\"";
}

// A program, with its output and error captured through temporary files.
int run_program(const Cmd& c, std::string* out, std::string* err) {
  wchar_t dir[MAX_PATH], out_name[MAX_PATH], err_name[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  GetTempFileNameW(dir, L"vxo", 0, out_name);
  GetTempFileNameW(dir, L"vxe", 0, err_name);
  SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
  HANDLE ho = CreateFileW(out_name, GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, nullptr);
  HANDLE he = CreateFileW(err_name, GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, nullptr);
  HANDLE hi = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = hi;
  si.hStdOutput = ho;
  si.hStdError = he;
  std::string line;
  for (const std::string& a : c.args) line += (line.empty() ? "" : " ") + quote_arg(a);
  std::wstring wline = widen(line);
  std::vector<std::pair<std::string, std::string>> saved;
  for (const std::string& e : c.env) {
    const size_t eq = e.find('=');
    const std::string name = e.substr(0, eq);
    const char* old = std::getenv(name.c_str());
    saved.emplace_back(name, old ? old : "");
    _putenv_s(name.c_str(), e.substr(eq + 1).c_str());
  }
  PROCESS_INFORMATION pi{};
  DWORD code = 127;
  if (CreateProcessW(nullptr, &wline[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
    WaitForSingleObject(pi.hProcess, INFINITE);
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
  } else {
    *err += "test shell: cannot start " + (c.args.empty() ? std::string() : c.args[0]) + "\n";
  }
  for (const auto& s : saved) _putenv_s(s.first.c_str(), s.second.c_str());
  CloseHandle(ho);
  CloseHandle(he);
  CloseHandle(hi);
  *out += slurp(fs::path(out_name));
  *err += slurp(fs::path(err_name));
  DeleteFileW(out_name);
  DeleteFileW(err_name);
  return int(code);
}

std::vector<std::string> listing(const std::string& dir, bool dots, bool* ok) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(u8(dir), ec), end; !ec && it != end; it.increment(ec))
    names.push_back(it->path().filename().u8string());
  *ok = !ec;
  std::sort(names.begin(), names.end());
  if (dots) names.insert(names.begin(), {".", ".."});
  return names;
}

int run_builtin(const Cmd& c, const std::string& in, std::string* out, std::string* err, bool* known) {
  *known = true;
  const std::vector<std::string>& a = c.args;
  const std::string& n = a[0];
  std::error_code ec;
  if (n == "true") return 0;
  if (n == "exit") return a.size() > 1 ? std::atoi(a[1].c_str()) : 0;
  if (n == "false") return 1;
  if (n == "rm") {
    for (size_t i = 1; i < a.size(); ++i)
      if (a[i][0] != '-') fs::remove_all(u8(a[i]), ec);
    return 0;
  }
  if (n == "mkdir") {
    int rc = 0;
    for (size_t i = 1; i < a.size(); ++i)
      if (a[i][0] != '-' && !fs::create_directories(u8(a[i]), ec) && !fs::is_directory(u8(a[i]))) rc = 1;
    return rc;
  }
  if (n == "cp" && a.size() == 3) {
    fs::path to = u8(a[2]);
    if (fs::is_directory(to)) to /= u8(a[1]).filename();
    return fs::copy_file(u8(a[1]), to, fs::copy_options::overwrite_existing, ec) ? 0 : 1;
  }
  if (n == "cat") {
    for (size_t i = 1; i < a.size(); ++i) *out += slurp(u8(a[i]));
    if (a.size() == 1) *out += in;
    return 0;
  }
  if (n == "printf") {
    if (a.size() > 1) *out += unescape(a[1]);
    return 0;
  }
  if (n == "dirname" && a.size() == 2) {
    const size_t slash = a[1].find_last_of("/\\");
    *out += (slash == std::string::npos ? std::string(".") : a[1].substr(0, slash)) + "\n";
    return 0;
  }
  if (n == "echo") {
    for (size_t i = 1; i < a.size(); ++i) *out += (i > 1 ? " " : "") + a[i];
    *out += "\n";
    return 0;
  }
  if (n == "head" && a.size() >= 3 && a[1] == "-c") {
    const std::string data = a.size() > 3 ? slurp(u8(a[3])) : in;
    *out += data.substr(0, std::min(data.size(), size_t(std::stoul(a[2]))));
    return 0;
  }
  if (n == "ls") {
    bool dots = false, ok = true;
    std::vector<std::string> dirs;
    for (size_t i = 1; i < a.size(); ++i) {
      if (a[i] == "-a") dots = true;
      else if (a[i][0] != '-') dirs.push_back(a[i]);
    }
    if (dirs.empty()) dirs.push_back(".");
    for (const std::string& d : dirs)
      for (const std::string& f : listing(d, dots, &ok)) *out += f + "\n";
    if (!ok) *err += "ls: cannot access the folder\n";
    return ok ? 0 : 2;
  }
  if (n == "grep") {
    bool count = false;
    std::string pat;
    for (size_t i = 1; i < a.size(); ++i) {
      if (a[i] == "-c") count = true;
      else pat = a[i];
    }
    std::istringstream lines(in);
    std::string l;
    int hits = 0;
    while (std::getline(lines, l))
      if (l.find(pat) != std::string::npos) {
        ++hits;
        if (!count) *out += l + "\n";
      }
    if (count) *out += std::to_string(hits) + "\n";
    return hits ? 0 : 1;
  }
  if (n == "test" && a.size() == 3 && (a[1] == "-z" || a[1] == "-n")) return (a[2].empty() == (a[1] == "-z")) ? 0 : 1;
  if (n == "cd" && a.size() == 2) {
    fs::current_path(u8(a[1]), ec);
    return ec ? 1 : 0;
  }
  *known = false;
  return 0;
}

void write_to(const std::string& file, const std::string& bytes, bool append) {
  if (file == "/dev/null") return;
  std::ofstream f(u8(file), std::ios::binary | (append ? std::ios::app : std::ios::trunc));
  f << bytes;
}

// One pipeline; out (when not null) receives the output of its last command.
int run_pipeline(const std::vector<Cmd>& cmds, std::string* out) {
  std::string data;
  int rc = 0;
  for (size_t k = 0; k < cmds.size(); ++k) {
    const Cmd& c = cmds[k];
    std::string o, e;
    if (c.args.empty()) {
      rc = 0;
    } else {
      bool known = false;
      rc = run_builtin(c, data, &o, &e, &known);
      if (!known) rc = run_program(c, &o, &e);
    }
    if (c.err_to_out) {
      o += e;
      e.clear();
    }
    if (!c.err_file.empty()) {
      write_to(c.err_file, e, false);
      e.clear();
    }
    std::fwrite(e.data(), 1, e.size(), stderr);
    if (!c.out_file.empty()) {
      write_to(c.out_file, o, c.append);
      o.clear();
    }
    data = o;
  }
  if (out) *out += data;
  else std::fwrite(data.data(), 1, data.size(), stdout);
  return rc;
}

int run_line(const std::string& line, const std::string&, std::string* out) {
  std::vector<std::string> toks;
  std::vector<bool> ops;
  if (!tokenize(line, &toks, &ops)) return 2;
  int rc = 0;
  bool skip = false;  // after a failed command before &&
  std::vector<Cmd> pipeline(1);
  auto finish = [&](const std::string& sep) {
    if (!skip) rc = run_pipeline(pipeline, out);
    skip = sep == "&&" && rc != 0;
    pipeline.assign(1, Cmd());
  };
  for (size_t i = 0; i < toks.size(); ++i) {
    Cmd& c = pipeline.back();
    if (!ops[i]) {
      if (c.args.empty() && toks[i].find('=') != std::string::npos && toks[i][0] != '=' &&
          toks[i].find('/') == std::string::npos)
        c.env.push_back(toks[i]);
      else
        c.args.push_back(toks[i]);
      continue;
    }
    const std::string& t = toks[i];
    if (t == ">" || t == ">>" || t == "2>") {
      if (i + 1 >= toks.size()) return 2;
      (t == "2>" ? c.err_file : c.out_file) = toks[++i];
      if (t == ">>") c.append = true;
    } else if (t == "2>&1") {
      c.err_to_out = true;
    } else if (t == "|") {
      pipeline.emplace_back();
    } else {
      finish(t);
    }
  }
  finish(";");
  return rc;
}

}  // namespace

extern "C" int varnex_test_shell(const char* command) {
  if (!command) return 1;
  const fs::path cwd = fs::current_path();
  std::fflush(stdout);
  const int rc = run_line(command, std::string(), nullptr);
  std::fflush(stdout);
  std::error_code ec;
  fs::current_path(cwd, ec);
  return rc;
}

#endif
