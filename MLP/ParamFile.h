#ifndef MLP_PARAMFILE_H
#define MLP_PARAMFILE_H

#include <iosfwd>
#include <string>
#include <vector>

// The settings of one training run, as the parameter file gives them.
struct TRunSettings {
    std::string parameterFile;                   // the file the settings came from
    std::string weightFile;                      // WeightFile
    std::string destinationFile = "trained.wgt"; // DestinationFile
    std::string trainingFile;                    // TrainingFile
    std::string errorFunction;                   // ErrorFunction, passed on unchanged
    int epochs = 0;                              // Epochs; 0 means not given
    int featureCount = 0;                        // #Features
    std::vector<int> features;                   // Features: featureCount columns
};

// The longest word of a parameter file (keywords and values alike).
constexpr size_t kMaxParameterWord = 255;

// Reads a parameter file: whitespace-separated words; a keyword (any letter
// case), one separator character (the next non-blank one, whatever it is),
// then the value. Words that are not keywords are skipped; a repeated keyword
// overwrites the earlier value. Integers take a sign and the octal (leading 0)
// and hexadecimal (leading 0x) forms.
//
// Returns true when the file was read; otherwise false with *message set to
// one line saying which keyword and which word are wrong. The three required
// entries are not checked here (CheckRequiredSettings does that).
bool ReadParameterFile(std::istream& in, TRunSettings* settings, std::string* message);

// The first missing required entry as its message ("No weight file
// specified", "No training file specified", "Number of epochs not
// specified"), or null when all are there.
const char* CheckRequiredSettings(const TRunSettings& settings);

#endif
