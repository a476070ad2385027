#pragma once
// Hand-written host objects that record what the plug-in asks of them, for
// tests that need to see the order of calls.
#include <string>
#include <vector>

#include <boost/make_shared.hpp>
#include <boost/shared_ptr.hpp>

#include "host/Host.h"

class RecordingInstance : public NORNKVT20::ICIMInstance {
public:
    explicit RecordingInstance(std::vector<std::string>& calls) : m_calls(calls) {}

    void SetPropertyValue(const std::string& name, const NORNKVT20::TCIMValue&,
                          NORNKVT20::PropertyMap) override
    {
        m_calls.push_back("Set " + name);
    }
    void Commit(NORNKVT20::PropertyMap) override { m_calls.push_back("Commit"); }
    boost::shared_ptr<NORNKVT20::ICIMProperty> GetProperty(const std::string&,
                                                           NORNKVT20::PropertyMap) override
    {
        return boost::shared_ptr<NORNKVT20::ICIMProperty>();
    }
    NORNKVT20::TCIMReference GetReference(NORNKVT20::PropertyMap) override
    {
        return NORNKVT20::TCIMReference("recorded");
    }

private:
    std::vector<std::string>& m_calls;
};

class RecordingClass : public NORNKVT20::ICIMClass {
public:
    explicit RecordingClass(const std::string& name) : m_name(name) {}

    std::string GetName(NORNKVT20::PropertyMap) override { return m_name; }
    boost::shared_ptr<NORNKVT20::ICIMNamespace> GetNamespace(NORNKVT20::PropertyMap) override
    {
        return boost::shared_ptr<NORNKVT20::ICIMNamespace>();
    }
    boost::shared_ptr<NORNKVT20::ICIMInstance> CreateInstance(NORNKVT20::PropertyMap) override
    {
        calls.push_back("Create");
        return boost::make_shared<RecordingInstance>(calls);
    }
    void EnumerateInstances(NORNKVT20::InstanceCallback, int, NORNKVT20::PropertyMap) override {}

    std::vector<std::string> calls;

private:
    std::string m_name;
};
