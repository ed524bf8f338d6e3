// Turns resource files into a C++ namespace in the framework's resource-embedding scheme:
// one byte array and one size constant per file, named after the file with "." made "_",
// plus the name table and the file-name table, in the order given on the command line.
//
//   kw_embed --namespace NS --header OUT.h --source OUT.cpp FILE...

#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace
{
struct Resource
{
    std::string fileName;
    std::string identifier;
    std::string bytes;
    std::string path;
};

// For the assembler's string inside a C++ string literal: both layers escaped.
std::string asmQuoted (const std::string& path)
{
    std::string out;

    for (auto c : path)
    {
        if (c == '\\' || c == '"')
            out += "\\\\";
        out += c == '"' ? std::string ("\\\"") : std::string (1, c);
    }

    return out;
}

std::string baseName (const std::string& path)
{
    auto slash = path.find_last_of ('/');
    return slash == std::string::npos ? path : path.substr (slash + 1);
}

// "SF-Pro-Rounded-Regular.otf" -> "SFProRoundedRegular_otf", as the framework names them.
std::string identifierFor (const std::string& fileName)
{
    std::string id;

    for (auto c : fileName)
    {
        if (c == '.' || c == ' ')
            id += '_';
        else if (std::isalnum (static_cast<unsigned char> (c)) || c == '_')
            id += c;
    }

    if (id.empty() || std::isdigit (static_cast<unsigned char> (id.front())))
        id.insert (0, "_");

    return id;
}

bool readWhole (const std::string& path, std::string& out)
{
    std::ifstream in (path, std::ios::binary);

    if (! in)
        return false;

    out.assign (std::istreambuf_iterator<char> (in), std::istreambuf_iterator<char>());
    return ! in.bad();
}

// Octal escapes keep the literal compact and fast to compile; a literal is split every
// few kilobytes so no line gets unwieldy. The array has room for the literal's own zero.
void writeLiteral (std::ostream& out, const std::string& bytes)
{
    constexpr size_t bytesPerLine = 4096;
    out << "\n\"";
    size_t onLine = 0;
    bool lastWasOctal = false;

    for (auto ch : bytes)
    {
        auto c = static_cast<unsigned char> (ch);

        if (onLine == bytesPerLine)
        {
            out << "\"\n\"";
            onLine = 0;
            lastWasOctal = false;
        }

        const bool printable = c >= 0x20 && c < 0x7f && c != '"' && c != '\\' && c != '?';

        // A digit right after an octal escape would be read as part of it.
        if (printable && ! (lastWasOctal && c >= '0' && c <= '9'))
        {
            out << static_cast<char> (c);
            lastWasOctal = false;
        }
        else
        {
            char esc[8];
            std::snprintf (esc, sizeof (esc), "\\%o", c);
            out << esc;
            lastWasOctal = true;
        }

        ++onLine;
    }

    out << "\"";
}

bool writeFile (const std::string& path, const std::string& text)
{
    // Leave an unchanged output alone so dependants are not rebuilt.
    std::string existing;

    if (readWhole (path, existing) && existing == text)
        return true;

    std::ofstream out (path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool> (out);
}
} // namespace

int main (int argc, char** argv)
{
    std::string ns, headerPath, sourcePath;
    std::vector<Resource> resources;
    // Files from this size on are assembled straight from disk (.incbin): as a literal, the
    // compiler's time and memory grow faster than the file.
    size_t incbinFrom = (size_t) -1;

    for (int i = 1; i < argc; ++i)
    {
        std::string arg = argv[i];

        if (arg == "--incbin-from" && i + 1 < argc)
        {
            incbinFrom = std::stoul (argv[++i]);
            continue;
        }

        if ((arg == "--namespace" || arg == "--header" || arg == "--source") && i + 1 < argc)
        {
            auto& target = arg == "--namespace" ? ns : (arg == "--header" ? headerPath : sourcePath);
            target = argv[++i];
            continue;
        }

        Resource r;
        r.path = arg;
        r.fileName = baseName (arg);
        r.identifier = identifierFor (r.fileName);

        if (! readWhole (arg, r.bytes))
        {
            std::cerr << "kw_embed: cannot read " << arg << "\n";
            return 1;
        }

        for (auto& other : resources)
        {
            if (other.identifier == r.identifier)
            {
                std::cerr << "kw_embed: two files map to " << r.identifier << "\n";
                return 1;
            }
        }

        resources.push_back (std::move (r));
    }

    if (ns.empty() || headerPath.empty() || sourcePath.empty() || resources.empty())
    {
        std::cerr << "usage: kw_embed --namespace NS --header OUT.h --source OUT.cpp FILE...\n";
        return 2;
    }

    std::ostringstream h;
    h << "// Generated by kw_embed from the resources folder; do not edit.\n#pragma once\n\n"
      << "namespace " << ns << "\n{\n";

    for (auto& r : resources)
        h << "    extern const char*  " << r.identifier << ";\n"
          << "    const int           " << r.identifier << "Size = " << r.bytes.size() << ";\n\n";

    h << "    const int namedResourceListSize = " << resources.size() << ";\n"
      << "    extern const char* namedResourceList[];\n"
      << "    extern const char* originalFilenames[];\n"
      << "    const char* getNamedResource (const char* resourceNameUTF8, int& dataSizeInBytes);\n"
      << "    const char* getNamedResourceOriginalFilename (const char* resourceNameUTF8);\n"
      << "}\n";

    std::ostringstream s;
    s << "// Generated by kw_embed from the resources folder; do not edit.\n"
      << "#include \"" << baseName (headerPath) << "\"\n#include <cstring>\n\n"
      << "#if defined (_WIN32)\n #define KW_EMBED_SECTION \".section .rdata,\\\"dr\\\"\\n\"\n #define KW_EMBED_BACK \".text\\n\"\n"
      << "#else\n #define KW_EMBED_SECTION \".section .rodata\\n\"\n #define KW_EMBED_BACK \".previous\\n\"\n#endif\n\n"
      << "namespace " << ns << "\n{\n";

    for (size_t i = 0; i < resources.size(); ++i)
    {
        auto& r = resources[i];

        if (r.bytes.size() >= incbinFrom)
        {
            const auto symbol = "kw_embed_" + ns + "_" + std::to_string (i);
            s << "extern \"C\" const char " << symbol << "[];\n"
              << "__asm__ (KW_EMBED_SECTION \"    .balign 16\\n    .globl " << symbol << "\\n" << symbol << ":\\n"
              << "    .incbin \\\"" << asmQuoted (r.path) << "\\\"\\n    .byte 0\\n\" KW_EMBED_BACK);\n"
              << "const char* " << r.identifier << " = " << symbol << ";\n\n";
            continue;
        }

        // Plain char and no cast: the pointers are constant-initialised, safe to read from
        // other files' static initialisers.
        s << "static const char data" << i << "[" << r.bytes.size() + 1 << "] =";
        writeLiteral (s, r.bytes);
        s << ";\nconst char* " << r.identifier << " = data" << i << ";\n\n";
    }

    s << "const char* namedResourceList[] =\n{\n";
    for (auto& r : resources)
        s << "    \"" << r.identifier << "\",\n";
    s << "};\n\nconst char* originalFilenames[] =\n{\n";
    for (auto& r : resources)
        s << "    \"" << r.fileName << "\",\n";
    s << "};\n\n"
      << "const char* getNamedResource (const char* resourceNameUTF8, int& numBytes)\n{\n";
    for (auto& r : resources)
        s << "    if (std::strcmp (resourceNameUTF8, \"" << r.identifier << "\") == 0) { numBytes = "
          << r.identifier << "Size; return " << r.identifier << "; }\n";
    s << "    numBytes = 0;\n    return nullptr;\n}\n\n"
      << "const char* getNamedResourceOriginalFilename (const char* resourceNameUTF8)\n{\n"
      << "    for (int i = 0; i < namedResourceListSize; ++i)\n"
      << "        if (std::strcmp (namedResourceList[i], resourceNameUTF8) == 0)\n"
      << "            return originalFilenames[i];\n"
      << "    return nullptr;\n}\n}\n";

    if (! writeFile (headerPath, h.str()) || ! writeFile (sourcePath, s.str()))
    {
        std::cerr << "kw_embed: cannot write the output files\n";
        return 1;
    }

    return 0;
}
