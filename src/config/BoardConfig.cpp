#include "BoardConfig.h"

namespace keytoner {

bool isCallSignCharacter(QChar c)
{
    const char16_t code = c.unicode();
    return (code >= u'A' && code <= u'Z') || (code >= u'0' && code <= u'@') || code == u' ';
}

BoardConfig fittedToFields(BoardConfig config)
{
    for (QString &command : config.txtMem)
        command.truncate(FieldLength::Command);
    config.txtSeqCmd.truncate(FieldLength::ModifierId);
    config.txtCrcTag.truncate(FieldLength::ChecksumId);
    config.txtCallID.truncate(FieldLength::CallId);
    config.txtMorseSpeed.truncate(FieldLength::MorseSpeed);
    config.txtTmr2.truncate(FieldLength::Timer);
    config.txtBlo.truncate(FieldLength::Voltage);
    config.txtBhi.truncate(FieldLength::Voltage);
    config.txtPrgComm.truncate(FieldLength::ProgramPort);
    return config;
}

} // namespace keytoner
