#pragma once
#include <memory>
#include <string>

namespace zumi::bench {

// A link the real backend sees as a running pppd, kept up while it lives.
class BenchLink {
public:
    virtual ~BenchLink() = default;
};

// Starts one when this machine can (root, tun); nullptr otherwise.
std::unique_ptr<BenchLink> startBenchLink(const std::string& name);

} // namespace zumi::bench
