#include "slowedconfigurationstorage.h"

#include <thread>

Result SlowedConfigurationStorage::save(const QList<Panel> &panels)
{
    ++m_saveCount;
    std::this_thread::sleep_for(m_delay);
    return m_storage->save(panels);
}
