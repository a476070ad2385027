#include "host/KVTException.h"

namespace NORNKVT20 {

TKVTException::TKVTException(const std::string& message) : m_message(message) {}

TKVTException::TKVTException(const TKVTException& other) = default;

TKVTException& TKVTException::operator=(const TKVTException& other) = default;

TKVTException::~TKVTException() = default;

std::string TKVTException::GetMessageText() const
{
    return m_message;
}

}  // namespace NORNKVT20
