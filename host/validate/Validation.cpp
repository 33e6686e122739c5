#include "host/validate/Validation.h"

#include <cerrno>
#include <cstdarg>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>

Validation::Validation(const PluginModule& module, const Options& options)
    : module_(&module), options_(options), random_(options.seed) {}

Validation::Validation(const ClapModule& module, const std::string& pluginId,
                       const Options& options)
    : clapModule_(&module), clapId_(pluginId), options_(options), random_(options.seed) {}

std::unique_ptr<ClapHostedPlugin> Validation::NewClapPlugin(const std::string& checkName) {
    std::string error;
    auto plugin = ClapHostedPlugin::Create(*clapModule_, clapId_, &error);
    if (!plugin) {
        Report(checkName, false, error);
    }
    return plugin;
}

std::unique_ptr<HostedPlugin> Validation::NewPlugin(const std::string& checkName) {
    std::string error;
    auto plugin = HostedPlugin::Create(*module_, &error);
    if (!plugin) {
        Report(checkName, false, error);
    }
    return plugin;
}

void Validation::Report(const std::string& name, bool passed, const std::string& figure) {
    std::printf("%-44s %s  %s\n", name.c_str(), passed ? "pass" : "FAIL", figure.c_str());
    std::fflush(stdout);
    (passed ? passed_ : failed_)++;
}

void Validation::Skip(const std::string& name, const std::string& why) {
    std::printf("%-44s skip  %s\n", name.c_str(), why.c_str());
    std::fflush(stdout);
}

void Validation::Warn(const std::string& name, const std::string& figure) {
    std::printf("%-44s warn  %s\n", name.c_str(), figure.c_str());
    std::fflush(stdout);
}

std::uint32_t Validation::NextCaseSeed() {
    return random_();
}

std::vector<float> ParameterValues(HostedPlugin& plugin) {
    std::vector<float> values;
    for (int i = 0; i < plugin.Effect()->numParams; ++i) {
        values.push_back(plugin.GetParameter(i));
    }
    return values;
}

std::string Figure(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

void Validation::RunGroup(const char* name, int number, void (*group)(Validation&),
                          bool crashTolerated) {
    if (options_.inProcess) {
        random_.seed(options_.seed + 7919u * std::uint32_t(number));
        group(*this);
        return;
    }
    std::fflush(stdout);
    std::fflush(stderr);
    int counts[2];
    if (pipe(counts) != 0) {
        Report(std::string(name) + ": start", false, std::strerror(errno));
        return;
    }
    const pid_t child = fork();
    if (child < 0) {
        close(counts[0]);
        close(counts[1]);
        Report(std::string(name) + ": start", false, std::strerror(errno));
        return;
    }
    if (child == 0) {
        close(counts[0]);
        random_.seed(options_.seed + 7919u * std::uint32_t(number));
        passed_ = failed_ = 0;
        group(*this);
        std::fflush(stdout);
        const int result[2] = {passed_, failed_};
        const bool sent = write(counts[1], result, sizeof result) == ssize_t(sizeof result);
        _exit(sent ? 0 : 1);
    }
    close(counts[1]);
    int result[2] = {0, 0};
    const bool received = read(counts[0], result, sizeof result) == ssize_t(sizeof result);
    close(counts[0]);
    int status = 0;
    waitpid(child, &status, 0);
    passed_ += result[0];
    failed_ += result[1];
    if (WIFSIGNALED(status)) {
        const std::string check = std::string(name) + ": plug-in crashed";
        const std::string figure =
            Figure("%s (seed %u)", strsignal(WTERMSIG(status)), unsigned(options_.seed));
        if (crashTolerated) {
            Warn(check, figure);
        } else {
            Report(check, false, figure);
        }
    } else if (!received) {
        Report(std::string(name) + ": plug-in ended the process", false,
               Figure("exit status %d", WEXITSTATUS(status)));
    }
}
