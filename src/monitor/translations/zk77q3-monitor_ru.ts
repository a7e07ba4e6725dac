<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>MonitorTexts</name>
    <message>
        <source>on</source>
        <translation>вкл</translation>
    </message>
    <message>
        <source>off</source>
        <translation>выкл</translation>
    </message>
    <message>
        <source>audio</source>
        <translation>по звуку</translation>
    </message>
    <message>
        <source>SQL line, active low</source>
        <translation>линия SQL, активный низкий</translation>
    </message>
    <message>
        <source>SQL line, active high</source>
        <translation>линия SQL, активный высокий</translation>
    </message>
    <message>
        <source>unknown (%1)</source>
        <translation>неизвестно (%1)</translation>
    </message>
    <message>
        <source>waiting for the lead-in</source>
        <translation>ожидание вступительного тона</translation>
    </message>
    <message>
        <source>lead-in tone</source>
        <translation>вступительный тон</translation>
    </message>
    <message>
        <source>receiving: bit %1 of %2</source>
        <translation>приём: бит %1 из %2</translation>
    </message>
    <message>
        <source>the recording ended at bit %1 of %2</source>
        <translation>запись кончилась на бите %1 из %2</translation>
    </message>
    <message>
        <source>the recording ended in a lead-in tone</source>
        <translation>запись кончилась во вступительном тоне</translation>
    </message>
    <message>
        <source>the recording ended</source>
        <translation>запись кончилась</translation>
    </message>
    <message>
        <source>no 1000 Hz tone heard: check the source, the cable and the input that is recording</source>
        <translation>тон 1000 Гц не слышен: проверьте источник, кабель и вход, с которого идёт запись</translation>
    </message>
    <message>
        <source>no lead-in heard: nothing steady at 1000 Hz lasted long enough for one</source>
        <translation>вступительный тон не слышен: ничто устойчивое на 1000 Гц не длилось достаточно долго</translation>
    </message>
    <message>
        <source>a tone near 1000 Hz, but its carrier is %1 Hz above 1000 Hz; at most %2 Hz can be followed: check the radios&apos; tuning</source>
        <translation>тон около 1000 Гц, но его несущая на %1 Гц выше 1000 Гц; отслеживается не более %2 Гц: проверьте настройку радиостанций</translation>
    </message>
    <message>
        <source>a tone near 1000 Hz, but its carrier is %1 Hz below 1000 Hz; at most %2 Hz can be followed: check the radios&apos; tuning</source>
        <translation>тон около 1000 Гц, но его несущая на %1 Гц ниже 1000 Гц; отслеживается не более %2 Гц: проверьте настройку радиостанций</translation>
    </message>
    <message>
        <source>a clean 1000 Hz tone, but its pitch wandered (wow, or a drifting oscillator) and no packet could be read after it</source>
        <translation>чистый тон 1000 Гц, но его высота плавала (детонация или уход генератора), и пакет после него прочесть не удалось</translation>
    </message>
    <message>
        <source>a 1000 Hz tone, but no packet could be read after it</source>
        <translation>тон 1000 Гц, но пакет после него прочесть не удалось</translation>
    </message>
    <message>
        <source>data cut off: the recording ends %1 bits into a packet of %2; record at least %3 s past the end of the lead-in tone</source>
        <translation>данные оборваны: запись кончается на %1-м бите пакета из %2; записывайте не меньше %3 с после конца вступительного тона</translation>
    </message>
    <message>
        <source>too noisy: estimated Eb/N0 %1 dB, need %2 dB; raise the level or bring the radios closer</source>
        <translation>слишком шумно: Eb/N0 около %1 дБ, нужно %2 дБ; поднимите уровень или сблизьте радиостанции</translation>
    </message>
    <message numerus="yes">
        <source>%n packet(s) heard, but none with the right header and check word</source>
        <translation>
            <numerusform>услышан %n пакет, но ни одного с верными заголовком и контрольным словом</numerusform>
            <numerusform>услышано %n пакета, но ни одного с верными заголовком и контрольным словом</numerusform>
            <numerusform>услышано %n пакетов, но ни одного с верными заголовком и контрольным словом</numerusform>
        </translation>
    </message>
    <message>
        <source>two transmissions overlapped: a lead-in began inside another packet; make sure only one programmer sends on the channel</source>
        <translation>две передачи наложились: вступительный тон начался внутри другого пакета; проследите, чтобы на канале передавал только один программатор</translation>
    </message>
    <message>
        <source>the sound dropped out for %1 ms at %2 s, inside a packet: check the cables and their plugs, and that the receiver&apos;s squelch and power saving stay open through the whole signal</source>
        <translation>звук пропал на %1 мс на %2 с, внутри пакета: проверьте кабели и их разъёмы, а также что шумоподавитель и энергосбережение приёмника не закрываются, пока идёт сигнал</translation>
    </message>
    <message>
        <source>distorted: the lead-in came through clean (Eb/N0 %1 dB), the data did not (%2 dB): something in the path spoiled it, such as a speech codec, an echo, a voice processor or a dropout</source>
        <translation>искажено: вступительный тон пришёл чистым (Eb/N0 %1 дБ), данные нет (%2 дБ): их испортило что-то на пути, например речевой кодек, эхо, голосовой процессор или пропадание звука</translation>
    </message>
    <message numerus="yes">
        <source>%n samples are no numbers (NaN or infinite): the recording or the recorder is broken</source>
        <translation>
            <numerusform>%n отсчёт — не число (NaN или бесконечность): запись или записывающее устройство неисправны</numerusform>
            <numerusform>%n отсчёта — не числа (NaN или бесконечность): запись или записывающее устройство неисправны</numerusform>
            <numerusform>%n отсчётов — не числа (NaN или бесконечность): запись или записывающее устройство неисправны</numerusform>
        </translation>
    </message>
    <message>
        <source>too quiet: silent, every sample zero; check what the recording is fed from</source>
        <translation>слишком тихо: тишина, все отсчёты нулевые; проверьте, что подаётся на запись</translation>
    </message>
    <message>
        <source>too quiet: peak level %1; raise the recording level</source>
        <translation>слишком тихо: пиковый уровень %1; поднимите уровень записи</translation>
    </message>
    <message numerus="yes">
        <source>clipping: %n samples at full scale; lower the recording level</source>
        <translation>
            <numerusform>перегрузка: %n отсчёт на полной шкале; уменьшите уровень записи</numerusform>
            <numerusform>перегрузка: %n отсчёта на полной шкале; уменьшите уровень записи</numerusform>
            <numerusform>перегрузка: %n отсчётов на полной шкале; уменьшите уровень записи</numerusform>
        </translation>
    </message>
    <message>
        <source>packet</source>
        <translation>пакет</translation>
    </message>
    <message>
        <source>valid</source>
        <translation>верный</translation>
    </message>
    <message>
        <source>check word right, settings impossible</source>
        <translation>контрольное слово верно, настройки невозможны</translation>
    </message>
    <message>
        <source>check word wrong</source>
        <translation>контрольное слово неверно</translation>
    </message>
    <message>
        <source>not a programming message</source>
        <translation>не сообщение программатора</translation>
    </message>
    <message>
        <source>%1 dB</source>
        <translation>%1 дБ</translation>
    </message>
    <message>
        <source>good</source>
        <translation>хороший</translation>
    </message>
    <message>
        <source>marginal</source>
        <translation>на пределе</translation>
    </message>
    <message>
        <source>too low</source>
        <translation>слишком мал</translation>
    </message>
    <message>
        <source>check word %1: right</source>
        <translation>контрольное слово %1: верно</translation>
    </message>
    <message>
        <source>check word heard %1, computed from the bytes %2: wrong</source>
        <translation>контрольное слово принято %1, вычислено по байтам %2: неверно</translation>
    </message>
    <message>
        <source>user open code</source>
        <translation>пользовательский Код открытия</translation>
    </message>
    <message>
        <source>user close code</source>
        <translation>пользовательский Код закрытия</translation>
    </message>
    <message>
        <source>administrator open code</source>
        <translation>Код открытия Администратора</translation>
    </message>
    <message>
        <source>administrator close code</source>
        <translation>Код закрытия Администратора</translation>
    </message>
    <message>
        <source>user mode code</source>
        <translation>Код перехода в режим пользователя</translation>
    </message>
    <message>
        <source>opening and closing by DTMF</source>
        <translation>Разрешение на открытие-закрытие при помощи DTMF</translation>
    </message>
    <message>
        <source>maximum recording</source>
        <translation>Максимальная длительность записи в репитер</translation>
    </message>
    <message>
        <source>call-sign period</source>
        <translation>период позывного</translation>
    </message>
    <message>
        <source>beep length</source>
        <translation>длительность сигнала</translation>
    </message>
    <message>
        <source>%1 x 100 ms</source>
        <translation>%1 x 100 мс</translation>
    </message>
    <message>
        <source>beep level</source>
        <translation>уровень сигнала</translation>
    </message>
    <message>
        <source>squelch</source>
        <translation>шумоподавитель</translation>
    </message>
    <message>
        <source>squelch threshold</source>
        <translation>порог шумоподавителя</translation>
    </message>
    <message>
        <source>receive correction filter</source>
        <translation>корректирующий фильтр приёма</translation>
    </message>
    <message>
        <source>transmit correction filter</source>
        <translation>корректирующий фильтр передачи</translation>
    </message>
    <message>
        <source>ADC gain</source>
        <translation>Усиление АЦП</translation>
    </message>
    <message>
        <source>DAC attenuation</source>
        <translation>Ослабление ЦАП</translation>
    </message>
    <message>
        <source>release delay (hang)</source>
        <translation>задержка отпускания</translation>
    </message>
    <message>
        <source>economy (sleep) mode</source>
        <translation>режим экономии</translation>
    </message>
    <message>
        <source>%1: bytes %2..%3 hold no code</source>
        <translation>%1: в байтах %2..%3 нет кода</translation>
    </message>
    <message>
        <source>%1, seconds: %2 is outside %3</source>
        <translation>%1, секунды: %2 вне пределов %3</translation>
    </message>
    <message>
        <source>%1, minutes: %2 is outside %3</source>
        <translation>%1, минуты: %2 вне пределов %3</translation>
    </message>
    <message>
        <source>%1, hours: %2 is outside %3</source>
        <translation>%1, часы: %2 вне пределов %3</translation>
    </message>
    <message>
        <source>%1: %2 is outside %3</source>
        <translation>%1: %2 вне пределов %3</translation>
    </message>
    <message>
        <source>%1: %2:%3:%4 is %5 s, but the total sent is %6 s</source>
        <translation>%1: %2:%3:%4 — это %5 с, но передан итог %6 с</translation>
    </message>
    <message>
        <source>%1: its byte holds %2, not 0 or 1</source>
        <translation>%1: в его байте %2, а не 0 или 1</translation>
    </message>
    <message>
        <source>%1: %2 is not 0, 1 or 2</source>
        <translation>%1: %2 — не 0, 1 и не 2</translation>
    </message>
    <message>
        <source>bytes %1, %2 hold EE FF: the sender did not compute the check word</source>
        <translation>в байтах %1, %2 стоит EE FF: отправитель не вычислил контрольное слово</translation>
    </message>
    <message>
        <source>bytes %1, %2 are not zero</source>
        <translation>байты %1, %2 не нулевые</translation>
    </message>
    <message>
        <source>bytes that are never written (%1, %2, %3..%4) are not all zero</source>
        <translation>байты, в которые ничего не пишется (%1, %2, %3..%4), не все нулевые</translation>
    </message>
    <message>
        <source>byte %1, which the check word does not cover, holds %2, not 0</source>
        <translation>в байте %1, который контрольное слово не охватывает, стоит %2, а не 0</translation>
    </message>
    <message>
        <source>problem</source>
        <translation>ошибка</translation>
    </message>
    <message>
        <source>note</source>
        <translation>замечание</translation>
    </message>
    <message>
        <source>silent</source>
        <translation>тишина</translation>
    </message>
    <message>
        <source>%1 dBFS</source>
        <translation>%1 дБFS</translation>
    </message>
    <message>
        <source>at %1:%2</source>
        <translation>на %1:%2</translation>
    </message>
    <message>
        <source>, channel %1</source>
        <translation>, канал %1</translation>
    </message>
    <message>
        <source>header</source>
        <translation>заголовок</translation>
    </message>
    <message>
        <source>marker</source>
        <translation>маркер</translation>
    </message>
    <message>
        <source>check word</source>
        <translation>контрольное слово</translation>
    </message>
    <message>
        <source>outside the check word</source>
        <translation>вне контрольного слова</translation>
    </message>
    <message>
        <source>code field</source>
        <translation>поле кода</translation>
    </message>
    <message>
        <source>setting field</source>
        <translation>поле настройки</translation>
    </message>
    <message>
        <source>never written</source>
        <translation>не записывается</translation>
    </message>
    <message>
        <source>byte %1 (%2)</source>
        <translation>байт %1 (%2)</translation>
    </message>
    <message>
        <source>%1: expected %2, decoded %3</source>
        <translation>%1: ожидалось %2, принято %3</translation>
    </message>
    <message>
        <source>nothing to compare with</source>
        <translation>сравнивать не с чем</translation>
    </message>
    <message>
        <source>as sent</source>
        <translation>как отправлено</translation>
    </message>
    <message>
        <source>not as sent: the packet itself is not valid</source>
        <translation>не как отправлено: сам пакет неверен</translation>
    </message>
    <message>
        <source>en</source>
        <comment>the language of this translation, as its code</comment>
        <translation>ru</translation>
    </message>
    <message>
        <source>cannot compare: %1</source>
        <translation>сравнить нельзя: %1</translation>
    </message>
    <message>
        <source>not as sent: 1 difference</source>
        <translation>не как отправлено: 1 отличие</translation>
    </message>
    <message numerus="yes">
        <source>not as sent: %n differences</source>
        <translation>
            <numerusform>не как отправлено: %n отличие</numerusform>
            <numerusform>не как отправлено: %n отличия</numerusform>
            <numerusform>не как отправлено: %n отличий</numerusform>
        </translation>
    </message>
    <message>
        <source>at an unknown time</source>
        <translation>в неизвестное время</translation>
    </message>
    <message>
        <source>not as sent</source>
        <translation>не как отправлено</translation>
    </message>
    <message>
        <source>cannot compare</source>
        <translation>сравнить нельзя</translation>
    </message>
    <message>
        <source>Compared with the last send in the programming log</source>
        <translation>Сравнено с последней передачей в журнале программирования</translation>
    </message>
    <message>
        <source>Compared with log entry %1, sent %2 to a repeater without a name</source>
        <translation>Сравнено с записью журнала %1: передано %2 на ретранслятор без имени</translation>
    </message>
    <message>
        <source>Compared with log entry %1, sent %2 to “%3”</source>
        <translation>Сравнено с записью журнала %1: передано %2 на «%3»</translation>
    </message>
    <message>
        <source>Compared with the profile %1</source>
        <translation>Сравнено с профилем %1</translation>
    </message>
    <message>
        <source>1 difference</source>
        <translation>1 отличие</translation>
    </message>
    <message numerus="yes">
        <source>%n differences</source>
        <translation>
            <numerusform>%n отличие</numerusform>
            <numerusform>%n отличия</numerusform>
            <numerusform>%n отличий</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Shows what went over the air to the ZK-77q3 repeater.</source>
        <translation>Показывает, что ушло в эфир на репитер ZK-77q3.</translation>
    </message>
    <message>
        <source>A recording to decode.</source>
        <translation>Запись для декодирования.</translation>
    </message>
</context>
<context>
    <name>zk::monitor::LevelMeter</name>
    <message>
        <source>Input level</source>
        <translation>Уровень входа</translation>
    </message>
    <message>
        <source>level %1, peak %2</source>
        <translation>уровень %1, пик %2</translation>
    </message>
    <message>
        <source>, clipping</source>
        <translation>, перегрузка</translation>
    </message>
</context>
<context>
    <name>zk::monitor::MarginGauge</name>
    <message>
        <source>Margin</source>
        <translation>Запас</translation>
    </message>
    <message>
        <source>no packet</source>
        <translation>нет пакета</translation>
    </message>
</context>
<context>
    <name>zk::monitor::MonitorWindow</name>
    <message>
        <source>ZK-77q3 Monitor</source>
        <translation>Монитор ZK-77q3</translation>
    </message>
    <message>
        <source>Capture &amp;device:</source>
        <translation>&amp;Устройство записи:</translation>
    </message>
    <message>
        <source>Capture device</source>
        <translation>Устройство записи</translation>
    </message>
    <message>
        <source>&amp;Listen</source>
        <translation>&amp;Слушать</translation>
    </message>
    <message>
        <source>&amp;Open recording...</source>
        <translation>&amp;Открыть запись...</translation>
    </message>
    <message>
        <source>Sa&amp;ve recording...</source>
        <translation>Со&amp;хранить запись...</translation>
    </message>
    <message>
        <source>Saves the last minute of input as a WAV file</source>
        <translation>Сохраняет последнюю минуту входа в файл WAV</translation>
    </message>
    <message>
        <source>Input level:</source>
        <translation>Уровень входа:</translation>
    </message>
    <message>
        <source>Clip warning</source>
        <translation>Предупреждение о перегрузке</translation>
    </message>
    <message>
        <source>Packets heard</source>
        <translation>Принятые пакеты</translation>
    </message>
    <message>
        <source>Packet</source>
        <translation>Пакет</translation>
    </message>
    <message>
        <source>Bytes</source>
        <translation>Байты</translation>
    </message>
    <message>
        <source>Settings heard</source>
        <translation>Принятые настройки</translation>
    </message>
    <message>
        <source>Setting</source>
        <translation>Настройка</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Значение</translation>
    </message>
    <message>
        <source>Open recording</source>
        <translation>Открыть запись</translation>
    </message>
    <message>
        <source>Recordings (*.wav *.flac *.ogg *.aif *.aiff *.au);;All files (*)</source>
        <translation>Записи (*.wav *.flac *.ogg *.aif *.aiff *.au);;Все файлы (*)</translation>
    </message>
    <message>
        <source>Save recording</source>
        <translation>Сохранить запись</translation>
    </message>
    <message>
        <source>WAV recordings (*.wav)</source>
        <translation>Записи WAV (*.wav)</translation>
    </message>
    <message>
        <source>State: %1</source>
        <translation>Состояние: %1</translation>
    </message>
    <message>
        <source>Choose a capture device and press Listen, or open a recording</source>
        <translation>Выберите устройство записи и нажмите «Слушать» или откройте запись</translation>
    </message>
    <message>
        <source>Decoding the recording %1</source>
        <translation>Декодируется запись %1</translation>
    </message>
    <message>
        <source>Listening to %1</source>
        <translation>Прослушивается %1</translation>
    </message>
    <message>
        <source>Stopped listening to %1</source>
        <translation>Прослушивание %1 остановлено</translation>
    </message>
    <message>
        <source>Nothing has been heard yet to save.</source>
        <translation>Сохранять пока нечего: ничего не принято.</translation>
    </message>
    <message>
        <source>Saved %1 s of input to %2</source>
        <translation>%1 с входа сохранены в %2</translation>
    </message>
    <message>
        <source>Clipping: turn the input down</source>
        <translation>Перегрузка: уменьшите уровень входа</translation>
    </message>
    <message>
        <source>Nothing valid heard: %1</source>
        <translation>Верных пакетов нет: %1</translation>
    </message>
    <message numerus="yes">
        <source>Recording %1 decoded: %n packet(s)</source>
        <translation>
            <numerusform>Запись %1 декодирована: %n пакет</numerusform>
            <numerusform>Запись %1 декодирована: %n пакета</numerusform>
            <numerusform>Запись %1 декодирована: %n пакетов</numerusform>
        </translation>
    </message>
    <message>
        <source>Verdict: no packet yet</source>
        <translation>Оценка: пакетов ещё нет</translation>
    </message>
    <message>
        <source>Margin: none</source>
        <translation>Запас: нет</translation>
    </message>
    <message>
        <source>Check word: none</source>
        <translation>Контрольное слово: нет</translation>
    </message>
    <message>
        <source>Verdict: %1</source>
        <translation>Оценка: %1</translation>
    </message>
    <message>
        <source>Margin: %1, %2</source>
        <translation>Запас: %1, %2</translation>
    </message>
    <message>
        <source>&amp;Stop</source>
        <translation>&amp;Стоп</translation>
    </message>
    <message>
        <source>Compare &amp;with:</source>
        <translation>&amp;Сравнивать с:</translation>
    </message>
    <message>
        <source>Compare with</source>
        <translation>Сравнивать с</translation>
    </message>
    <message>
        <source>the last send in the programming log</source>
        <translation>последней передачей в журнале программирования</translation>
    </message>
    <message>
        <source>a profile...</source>
        <translation>профилем...</translation>
    </message>
    <message>
        <source>nothing</source>
        <translation>ничем</translation>
    </message>
    <message>
        <source>Compared: no packet yet</source>
        <translation>Сравнение: пакетов ещё нет</translation>
    </message>
    <message>
        <source>Compare with a profile</source>
        <translation>Сравнить с профилем</translation>
    </message>
    <message>
        <source>Profiles (*.toml);;All files (*)</source>
        <translation>Профили (*.toml);;Все файлы (*)</translation>
    </message>
    <message>
        <source>the profile %1</source>
        <translation>профилем %1</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Время</translation>
    </message>
    <message>
        <source>Verdict</source>
        <translation>Оценка</translation>
    </message>
    <message>
        <source>Margin</source>
        <translation>Запас</translation>
    </message>
    <message>
        <source>Compared</source>
        <translation>Сравнение</translation>
    </message>
</context>
<context>
    <name>zk::monitor::Waterfall</name>
    <message>
        <source>Waterfall, 0 to 4000 Hz</source>
        <translation>Водопад, от 0 до 4000 Гц</translation>
    </message>
    <message>
        <source>The input&apos;s spectrum over the last six seconds; the carrier is at 1000 Hz</source>
        <translation>Спектр входа за последние шесть секунд; несущая на 1000 Гц</translation>
    </message>
    <message>
        <source>%1 kHz</source>
        <translation>%1 кГц</translation>
    </message>
</context>
</TS>
