select * from xact order by server, ticket
