#include "CqzHostApp.h"

#include "CqzEditCommand.h"
#include "CqzHostError.h"
#include "CqzHostOptions.h"
#include "CqzListCommand.h"
#include "CqzSessionOpener.h"
#include "CqzViewCommand.h"

#include <optional>

int CqzHostApp::Run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    if (!arguments.empty() && arguments.front() == "view")
        return CqzViewCommand::Run({arguments.begin() + 1, arguments.end()}, out, err);
    return CqzSessionOpener::Guarded(
        [&](std::string& phase)
        {
            std::vector<std::string> rest = arguments;
            const bool editing = !rest.empty() && rest.front() == "edit";
            if (editing)
                rest.erase(rest.begin());
            const std::optional<CqzEditCommand> edit =
                editing ? std::optional<CqzEditCommand>(CqzEditCommand(rest)) : std::nullopt;
            SqzHostOptions options = CqzHostOptions::Parse(rest);
            if (options.help)
            {
                out << CqzHostOptions::Usage();
                return int(eqzExitOk);
            }
            if (edit)
                edit->CheckDisplay();
            return CqzListCommand::Run(options, phase, out, err, edit ? &*edit : nullptr);
        },
        err);
}
