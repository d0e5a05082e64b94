#include "MLP/ParamFile.h"

#include <climits>
#include <istream>
#include <streambuf>

#include "KQmessage/TKQstructure.h"

namespace {

constexpr int kEnd = std::char_traits<char>::eof();

bool IsBlank(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A word too long to show whole is cut in the message.
std::string Quote(const std::string& word) {
    const size_t shown = 40;
    if (word.size() <= shown) return "\"" + word + "\"";
    return "\"" + word.substr(0, shown) + "...\"";
}

class ParameterReader {
public:
    ParameterReader(std::istream& in, std::string* message)
        : buffer(in.rdbuf()), message(message) {}

    bool Read(TRunSettings* settings);

private:
    int Peek() { return buffer == nullptr ? kEnd : buffer->sgetc(); }
    int Get() { return buffer == nullptr ? kEnd : buffer->sbumpc(); }
    void SkipBlanks() {
        while (IsBlank(Peek())) Get();
    }

    // The next word; false (with the message set) when it is too long.
    bool NextWord(std::string* word, const char* keyword);
    bool ReadSeparator(const char* keyword);
    bool ReadText(const char* keyword, std::string* value);
    bool ReadInteger(const char* keyword, int* value, const char* what);
    bool Fail(const std::string& text) {
        *message = text;
        return false;
    }

    std::streambuf* buffer;
    std::string* message;
};

bool ParameterReader::NextWord(std::string* word, const char* keyword) {
    word->clear();
    SkipBlanks();
    while (Peek() != kEnd && !IsBlank(Peek())) {
        word->push_back(static_cast<char>(Get()));
        if (word->size() > kMaxParameterWord) {
            while (Peek() != kEnd && !IsBlank(Peek())) word->push_back(static_cast<char>(Get()));
            std::string where = keyword != nullptr ? std::string(keyword) + " value" : "Word";
            return Fail(where + " longer than 255 characters: " + Quote(*word));
        }
    }
    return true;
}

bool ParameterReader::ReadSeparator(const char* keyword) {
    SkipBlanks();
    if (Get() == kEnd) return Fail(std::string(keyword) + " expects a value, found end of file");
    return true;
}

bool ParameterReader::ReadText(const char* keyword, std::string* value) {
    if (!ReadSeparator(keyword)) return false;
    if (!NextWord(value, keyword)) return false;
    if (value->empty()) return Fail(std::string(keyword) + " expects a value, found end of file");
    return true;
}

// An integer in the manner of "%i": optional sign, then 0x/0X and hexadecimal
// digits, a leading 0 and octal digits, or decimal digits. Reading stops at
// the first character that cannot continue the number; the rest of the word
// is read as the next word.
bool ParameterReader::ReadInteger(const char* keyword, int* value, const char* what) {
    SkipBlanks();
    if (Peek() == kEnd) {
        return Fail(std::string(keyword) + " expects " + what + ", found end of file");
    }
    std::string text;
    bool negative = false;
    if (Peek() == '+' || Peek() == '-') {
        negative = Get() == '-';
        text.push_back(negative ? '-' : '+');
    }
    int base = 10;
    bool digits = false;
    if (Peek() == '0') {
        text.push_back(static_cast<char>(Get()));
        digits = true;
        base = 8;
        if (Peek() == 'x' || Peek() == 'X') {
            text.push_back(static_cast<char>(Get()));
            base = 16;
            digits = false;
        }
    }
    long long magnitude = 0;
    bool overflow = false;
    for (;;) {
        int c = Peek();
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0 || digit >= base) break;
        text.push_back(static_cast<char>(Get()));
        digits = true;
        magnitude = magnitude * base + digit;
        if (magnitude > static_cast<long long>(INT_MAX) + 1) {
            overflow = true;
            magnitude = static_cast<long long>(INT_MAX) + 1;
        }
    }
    if (!digits) {
        std::string rest;
        while (Peek() != kEnd && !IsBlank(Peek()) && rest.size() <= kMaxParameterWord) {
            rest.push_back(static_cast<char>(Get()));
        }
        return Fail(std::string(keyword) + " expects " + what + ", found " + Quote(text + rest));
    }
    long long signedValue = negative ? -magnitude : magnitude;
    if (overflow || signedValue > INT_MAX || signedValue < INT_MIN) {
        return Fail(std::string(keyword) + " value out of range: " + Quote(text));
    }
    *value = static_cast<int>(signedValue);
    return true;
}

bool ParameterReader::Read(TRunSettings* settings) {
    bool featuresFilled = true;
    std::string word;
    for (;;) {
        if (!NextWord(&word, nullptr)) return false;
        if (word.empty()) break;  // end of file
        const char* keyword = word.c_str();
        if (KQ::strcasecmp(keyword, "WeightFile") == 0) {
            if (!ReadText("WeightFile", &settings->weightFile)) return false;
        } else if (KQ::strcasecmp(keyword, "DestinationFile") == 0) {
            if (!ReadText("DestinationFile", &settings->destinationFile)) return false;
        } else if (KQ::strcasecmp(keyword, "TrainingFile") == 0) {
            if (!ReadText("TrainingFile", &settings->trainingFile)) return false;
        } else if (KQ::strcasecmp(keyword, "ErrorFunction") == 0) {
            if (!ReadText("ErrorFunction", &settings->errorFunction)) return false;
        } else if (KQ::strcasecmp(keyword, "Epochs") == 0) {
            if (!ReadSeparator("Epochs")) return false;
            if (!ReadInteger("Epochs", &settings->epochs, "an integer")) return false;
        } else if (KQ::strcasecmp(keyword, "#Features") == 0) {
            int count = 0;
            if (!ReadSeparator("#Features")) return false;
            if (!ReadInteger("#Features", &count, "an integer")) return false;
            if (count < 0) {
                return Fail("#Features must not be negative, found " + Quote(std::to_string(count)));
            }
            // A new, unfilled column list: a Features statement must follow.
            settings->featureCount = count;
            settings->features.clear();
            featuresFilled = count == 0;
        } else if (KQ::strcasecmp(keyword, "Features") == 0) {
            if (!ReadSeparator("Features")) return false;
            if (settings->featureCount == 0) continue;  // nothing to read: no selection
            // The columns are gathered as they are read, so a huge count
            // costs no memory before the file delivers the numbers.
            std::vector<int> columns;
            std::string what = std::to_string(settings->featureCount) + " integers";
            for (int i = 0; i < settings->featureCount; ++i) {
                int column = 0;
                if (!ReadInteger("Features", &column, what.c_str())) return false;
                columns.push_back(column);
            }
            settings->features.swap(columns);
            featuresFilled = true;
        }
    }
    if (!featuresFilled) {
        return Fail("#Features " + std::to_string(settings->featureCount) +
                    " is not followed by a Features list");
    }
    return true;
}

}  // namespace

bool ReadParameterFile(std::istream& in, TRunSettings* settings, std::string* message) {
    ParameterReader reader(in, message);
    return reader.Read(settings);
}

const char* CheckRequiredSettings(const TRunSettings& settings) {
    if (settings.weightFile.empty()) return "No weight file specified";
    if (settings.trainingFile.empty()) return "No training file specified";
    if (settings.epochs == 0) return "Number of epochs not specified";
    return nullptr;
}
