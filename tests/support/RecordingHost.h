#pragma once
// Hand-written host objects that record what the plug-in asks of them, for
// tests that need to see the order of calls or make a call fail in a way the
// core's store does not.
#include <functional>
#include <stdexcept>
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
        if (failOnSet == name) {
            throw NORNKVT20::TKVTException("cannot set " + name);
        }
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

    std::string failOnSet;

private:
    std::vector<std::string>& m_calls;
};

class RecordingClass : public NORNKVT20::ICIMClass {
public:
    explicit RecordingClass(const std::string& name) : m_name(name) {}

    std::string GetName(NORNKVT20::PropertyMap) override
    {
        if (nameThrows) {
            throw std::runtime_error("GetName failed");
        }
        return m_name;
    }
    boost::shared_ptr<NORNKVT20::ICIMNamespace> GetNamespace(NORNKVT20::PropertyMap) override
    {
        return boost::shared_ptr<NORNKVT20::ICIMNamespace>();
    }
    boost::shared_ptr<NORNKVT20::ICIMInstance> CreateInstance(NORNKVT20::PropertyMap) override
    {
        calls.push_back("Create");
        boost::shared_ptr<RecordingInstance> instance =
            boost::make_shared<RecordingInstance>(calls);
        instance->failOnSet = failOnSet;
        return instance;
    }
    void EnumerateInstances(NORNKVT20::InstanceCallback, int, NORNKVT20::PropertyMap) override {}

    std::vector<std::string> calls;
    std::string failOnSet;
    bool nameThrows = false;

private:
    std::string m_name;
};
