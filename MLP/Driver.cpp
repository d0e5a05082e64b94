#include "MLP/Driver.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>

#include "DataObject/Data.h"
#include "FileHandler/Filer.h"
#include "FileHandler/NetworkFile.h"
#include "KQmessage/KQML.h"
#include "MLP/ParamFile.h"
#include "NeuralNets/TBFGSModule.h"
#include "NeuralNets/TrainingChecks.h"

namespace {

// Reports one failure line on standard error; the exit status of every
// reported failure is 1.
int Failure(const std::string& line) {
    std::cerr << line << std::endl;
    return 1;
}

// The result line: the iteration count and the final error, held in single
// precision and printed with six significant digits ("37 0.0123457").
void PrintResult(int iterations, double error) {
    char line[64];
    std::snprintf(line, sizeof line, "%d %g", iterations, static_cast<double>(static_cast<float>(error)));
    std::cout << line << std::endl;
}

// Selected feature columns must name input columns of the data set.
std::string CheckFeatures(const TRunSettings& settings, const Data& data) {
    for (int column : settings.features) {
        if (column < 0 || column >= data.GetNumInputs()) {
            return "Feature column " + std::to_string(column) + " is not an input column of data file " +
                   settings.trainingFile + " (it has " + std::to_string(data.GetNumInputs()) +
                   " inputs, numbered from 0)";
        }
    }
    return std::string();
}

// The file a problem found before training comes from, as a prefix.
std::string Where(TrainingCheckSubject subject, const TRunSettings& settings) {
    switch (subject) {
        case TrainingCheckSubject::kErrorFunction:
            return "Parameter file " + settings.parameterFile + ": ";
        case TrainingCheckSubject::kNetwork:
            return "Network file " + settings.weightFile + ": ";
        case TrainingCheckSubject::kDataSet:
            return "Data file " + settings.trainingFile + ": ";
        case TrainingCheckSubject::kNetworkAndDataSet:
            return "Network file " + settings.weightFile + " and data file " + settings.trainingFile + ": ";
        default:
            return std::string();
    }
}

// Steps 1 to 9 of a run: read, check, train, report, write. The file named
// in a caught FileTools::Error is the one being read or written.
int Train(const TRunSettings& settings) {
    FileTools networkTools;  // reads the network file and writes the trained one
    FileTools dataTools;
    std::string currentFile = settings.weightFile;
    try {
        std::unique_ptr<TBasicNetwork> network(
            ReadNetwork(networkTools, settings.weightFile.c_str(), nullptr));
        if (!network) return Failure("Network file " + settings.weightFile + " holds no network");

        currentFile = settings.trainingFile;
        Data* rawData = nullptr;
        int code = ReadDataSet(dataTools, settings.trainingFile.c_str(), &rawData);
        std::unique_ptr<Data> data(rawData);
        if (code != SUCCESS) return Failure("Unable to open data file " + settings.trainingFile);
        if (!data) {
            return Failure("Data file " + settings.trainingFile + " declares no input or output columns");
        }

        if (settings.featureCount != 0) {
            std::string problem = CheckFeatures(settings, *data);
            if (!problem.empty()) return Failure(problem);
            data->SetInputFeatures(settings.featureCount, settings.features.data());
        }

        TrainingCheckSubject subject = TrainingCheckSubject::kNone;
        std::string problem = CheckTrainingSetup(network.get(), data.get(),
                                                 settings.errorFunction.c_str(), &subject);
        if (!problem.empty()) return Failure(Where(subject, settings) + problem);

        TBFGSModule trainer(network.get());
        TKQstructure params("Params");
        params.SetString("ErrorFunction", settings.errorFunction.c_str());

        double start = trainer.CalcError(data.get(), &params);
        if (!std::isfinite(start)) {
            return Failure("The error at the start weights of network file " + settings.weightFile +
                           " is not finite (" + std::to_string(start) + ")");
        }

        int count = settings.epochs;
        double error = trainer.Train(data.get(), &params, &count);
        PrintResult(count, error);

        currentFile = settings.destinationFile;
        WriteNetwork(networkTools, settings.destinationFile.c_str(), network.get(), nullptr);
        return 0;
    } catch (const FileTools::Error& error) {
        // Standard output carries the message alone; standard error says
        // where it was found.
        std::cout << error.GetMessage() << std::endl;
        std::cerr << currentFile;
        if (error.GetLine() > 0) std::cerr << ":" << error.GetLine();
        std::cerr << ": " << error.GetMessage() << std::endl;
        return 1;
    } catch (const TException& exception) {
        auto text = [](const char* s) { return s != nullptr ? s : ""; };
        std::cerr << text(exception.GetMessage()) << std::endl
                  << text(exception.GetType()) << std::endl
                  << text(exception.GetLocation()) << std::endl;
        return 1;
    } catch (const std::length_error& error) {
        return Failure(std::string("Not enough memory to train: ") + error.what());
    } catch (const std::bad_alloc&) {
        return Failure("Not enough memory to train this network on this data set");
    }
}

}  // namespace

int RunKestran(int argc, char** argv) {
    if (argc != 2) return Failure("Usage: KESTRAN parameter.file");

    TRunSettings settings;
    settings.parameterFile = argv[1];
    {
        std::ifstream parameters(argv[1], std::ios::binary);
        if (!parameters) return Failure(std::string("Cannot open parameter file ") + argv[1]);
        std::string message;
        if (!ReadParameterFile(parameters, &settings, &message)) {
            return Failure(std::string("Parameter file ") + argv[1] + ": " + message);
        }
    }
    if (const char* missing = CheckRequiredSettings(settings)) return Failure(missing);
    return Train(settings);
}
