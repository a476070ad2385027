#pragma once
#include <string>

#include "host/KvtApi.h"

namespace NORNKVT20 {

// The exception through which host operations report failure.
class KVTCORE_API TKVTException {
public:
    explicit TKVTException(const std::string& message);
    TKVTException(const TKVTException& other);
    TKVTException& operator=(const TKVTException& other);
    virtual ~TKVTException();
    virtual std::string GetMessageText() const;

private:
    std::string m_message;
};

}  // namespace NORNKVT20
