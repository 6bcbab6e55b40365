#pragma once

#include "scenerec.h"

/// The largest script a game may hold: 4095 scenes with Chinese texts and varied codes.
inline SceneLists bigScript()
{
    SceneLists lists;
    for (int i = 0; i < kMaxScenes; ++i) {
        SceneRec rec;
        rec.fields = {QStringLiteral("第%1幕：海边的小镇上，有一座很久没有点亮的灯塔。").arg(i),
                      QStringLiteral("dusk.jpg"),
                      QStringLiteral("light.png"),
                      QString::number(i % 3),
                      QString::number(i % 7),
                      QString::number(i % 6),
                      QString::number(i % 7),
                      QString::number(i % 3)};
        lists.append(rec);
    }
    return lists;
}
