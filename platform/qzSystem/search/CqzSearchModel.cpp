#include "qzSystem/search/CqzSearchModel.h"

CqzSearchModel::CqzSearchModel()
    : CqzSearchModel(DefaultSingleBitOptions(), DefaultMultiBitOptions())
{
}

CqzSearchModel::CqzSearchModel(const CqzBitSet& singleBitOptions, const CqzBitSet& multiBitOptions)
    : m_singleBitOptions(singleBitOptions), m_multiBitOptions(multiBitOptions)
{
}
