#pragma once
// A temporary folder for one test, removed afterwards, and the small capture the host tests
// run on: 8-bit A, one-bit B and a text M, one row every 10 ns. Also what several host and view
// tests need: a file's text, a shell-quoted argument, and the refusal of a step.

#include "CqzHostError.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

inline std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::string ShellQuote(const std::string& text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// The exit code and message of a step that should be refused; {0, ""} when it is not.
inline std::pair<int, std::string> Refusal(const std::function<void()>& step)
{
    try
    {
        step();
    }
    catch (const CqzHostError& error)
    {
        return {error.GetExitCode(), error.what()};
    }
    return {0, ""};
}

struct SqzTestRow
{
    int a;
    int b;
    std::string m;
};

class HostTestFolder
{
public:
    HostTestFolder()
    {
        std::random_device seed;
        m_path = std::filesystem::temp_directory_path() /
                 ("qzhost-" + std::to_string(seed()) + "-" + std::to_string(seed()));
        std::filesystem::create_directories(m_path);
    }
    ~HostTestFolder() { std::filesystem::remove_all(m_path); }

    std::string File(const std::string& name) const { return (m_path / name).string(); }

    std::string Write(const std::string& name, const std::string& text) const
    {
        std::ofstream(File(name), std::ios::binary) << text;
        return File(name);
    }

    std::string WriteCapture(const std::string& name, const std::vector<SqzTestRow>& rows) const
    {
        std::string text = "$timescale 1 ns $end\n$scope module t $end\n"
                           "$var wire 8 ! A $end\n$var wire 1 \" B $end\n"
                           "$var string 1 # M $end\n$upscope $end\n$enddefinitions $end\n";
        for (std::size_t i = 0; i < rows.size(); ++i)
        {
            text += "#" + std::to_string(i * 10) + "\nb";
            for (int bit = 7; bit >= 0; --bit)
                text += (rows[i].a >> bit) & 1 ? '1' : '0';
            text += " !\n" + std::to_string(rows[i].b) + "\"\ns" + rows[i].m + " #\n";
        }
        return Write(name, text);
    }

private:
    std::filesystem::path m_path;
};
